#include "platform/linux/AlsaSoundPlayer.h"

#include "platform/linux/AlsaPcmSink.h"
#include "platform/ThreadName.h"

#include <QFile>
#include <algorithm>

namespace platform {

AlsaSoundPlayer::AlsaSoundPlayer()
    : AlsaSoundPlayer(std::make_unique<AlsaPcmSink>())
{}

AlsaSoundPlayer::AlsaSoundPlayer(std::unique_ptr<PcmSink> pcmSink)
    : sink(std::move(pcmSink))
    , thread([this] { run(); })
{}

AlsaSoundPlayer::~AlsaSoundPlayer()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        quit = true;
        pending.reset();
        cut = true;
    }
    wake.notify_all();
    thread.join();
}

bool AlsaSoundPlayer::isPlayableWav(const QByteArray &data)
{
    return WavDecoder::isPlayable(data);
}

bool AlsaSoundPlayer::playWav(const QByteArray &data)
{
    std::optional<WavDecoder::Pcm> pcm = WavDecoder::decode(data);
    if (!pcm)
        return false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!deviceFound) { // the thread has not touched the sink yet
            deviceFound = sink->available();
            if (!*deviceFound)
                qWarning("Sound: no sound device; sounds are not played");
        }
        if (!*deviceFound)
            return false;
        pending = std::move(pcm);
        if (busy)
            cut = true;
    }
    wake.notify_all();
    return true;
}

bool AlsaSoundPlayer::playFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return playWav(file.readAll());
}

void AlsaSoundPlayer::stop()
{
    std::unique_lock<std::mutex> lock(mutex);
    pending.reset();
    if (busy)
        cut = true;
    idle.wait(lock, [this] { return !busy; });
}

void AlsaSoundPlayer::run()
{
    nameCurrentThread("tovra-sound");
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        wake.wait(lock, [this] { return quit || pending; });
        if (quit)
            return;
        const WavDecoder::Pcm pcm = std::move(*pending);
        pending.reset();
        cut = false;
        busy = true;
        lock.unlock();
        playOne(pcm);
        lock.lock();
        busy = false;
        idle.notify_all();
    }
}

void AlsaSoundPlayer::playOne(const WavDecoder::Pcm &pcm)
{
    if (!sink->open(pcm.channels, pcm.sampleRate))
        return;
    // Written in slices of 10 ms so that a cut is noticed quickly.
    const std::size_t slice = std::max(1, pcm.sampleRate / 100);
    bool cutShort = false;
    for (std::size_t at = 0; at < pcm.frames() && !cutShort; at += slice) {
        cutShort = cut || !sink->write(pcm.samples.data() + at * pcm.channels,
                                       std::min(slice, pcm.frames() - at));
    }
    if (cutShort || cut)
        sink->drop();
    else
        sink->drain();
    sink->close();
}

} // namespace platform
