#include "platform/linux/AlsaPcmSink.h"

#include <QtGlobal>
#include <alsa/asoundlib.h>
#include <mutex>

namespace platform {

namespace {
constexpr const char *device = "default";
constexpr unsigned latencyUs = 50000;

// ALSA prints its own complaints to stderr (a missing card is several lines); the player
// reports failures itself, once.
void quiet(const char *, int, const char *, int, const char *, ...) {}
} // namespace

AlsaPcmSink::AlsaPcmSink()
{
    static std::once_flag silenced;
    std::call_once(silenced, [] { snd_lib_error_set_handler(&quiet); });
}

AlsaPcmSink::~AlsaPcmSink()
{
    close();
}

bool AlsaPcmSink::available()
{
    snd_pcm_t *probe = nullptr;
    if (snd_pcm_open(&probe, device, SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0)
        return false;
    snd_pcm_close(probe);
    return true;
}

bool AlsaPcmSink::open(int channels, int sampleRate)
{
    close();
    int err = snd_pcm_open(&pcm, device, SND_PCM_STREAM_PLAYBACK, 0);
    if (err >= 0)
        err = snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED,
                                 unsigned(channels), unsigned(sampleRate), 1, latencyUs);
    if (err < 0) {
        if (!openFailed) // once: a busy device would otherwise fill the log
            qWarning("Sound: cannot open the sound device: %s", snd_strerror(err));
        openFailed = true;
        close();
        return false;
    }
    channelCount = channels;
    return true;
}

bool AlsaPcmSink::write(const std::int16_t *samples, std::size_t frames)
{
    while (pcm && frames > 0) {
        snd_pcm_sframes_t n = snd_pcm_writei(pcm, samples, frames);
        if (n < 0)
            n = snd_pcm_recover(pcm, int(n), 1); // underrun or suspend: carry on
        if (n < 0)
            return false;
        samples += size_t(n) * size_t(channelCount);
        frames -= size_t(n);
    }
    return pcm != nullptr;
}

void AlsaPcmSink::drain()
{
    if (pcm)
        snd_pcm_drain(pcm);
}

void AlsaPcmSink::drop()
{
    if (pcm)
        snd_pcm_drop(pcm);
}

void AlsaPcmSink::close()
{
    if (pcm)
        snd_pcm_close(pcm);
    pcm = nullptr;
}

} // namespace platform
