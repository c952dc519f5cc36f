#pragma once

#include "platform/linux/PcmSink.h"

typedef struct _snd_pcm snd_pcm_t;

// The ALSA "default" playback device, with a short buffer so that a cut is heard at once.
namespace platform {

class AlsaPcmSink : public PcmSink
{
public:
    AlsaPcmSink();
    ~AlsaPcmSink() override;

    bool available() override;
    bool open(int channels, int sampleRate) override;
    bool write(const std::int16_t *samples, std::size_t frames) override;
    void drain() override;
    void drop() override;
    void close() override;

private:
    snd_pcm_t *pcm = nullptr;
    int channelCount = 1;
    bool openFailed = false;
};

} // namespace platform
