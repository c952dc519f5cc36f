#pragma once

#include "platform/SoundPlayer.h"
#include "platform/linux/WavDecoder.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// Plays WAV sounds through a PcmSink (ALSA by default) on one player thread of its own.
// play decodes on the caller's thread and hands the samples over: a new sound drops the one
// playing and starts at once. stop() returns when the device is closed. Without a device,
// play returns false and one warning is logged.
namespace platform {

class PcmSink;

class AlsaSoundPlayer : public SoundPlayer
{
public:
    AlsaSoundPlayer();
    explicit AlsaSoundPlayer(std::unique_ptr<PcmSink> sink);
    ~AlsaSoundPlayer() override; // stops the sound and joins the thread

    bool isPlayableWav(const QByteArray &data) override;
    bool playWav(const QByteArray &data) override;
    bool playFile(const QString &path) override;
    void stop() override;

private:
    void run();
    void playOne(const WavDecoder::Pcm &pcm);

    std::unique_ptr<PcmSink> sink;
    std::mutex mutex;
    std::condition_variable wake; // a sound or the end is waiting
    std::condition_variable idle; // the thread finished a sound
    std::optional<WavDecoder::Pcm> pending;
    std::optional<bool> deviceFound;
    bool busy = false;
    bool quit = false;
    std::atomic<bool> cut{false};
    std::thread thread; // last: starts when everything above exists
};

} // namespace platform
