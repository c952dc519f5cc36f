#pragma once

#include "platform/SoundPlayer.h"

#include <mutex>

// A sound player without a device. It checks WAV data exactly as the real player does and
// remembers what it would play; calls are logged under "sound". What "plays" is named
// "memory:<bytes>" for data and the path for files; it plays until stop() or the next play.
namespace platform {

class RecordingSoundPlayer : public SoundPlayer
{
public:
    bool isPlayableWav(const QByteArray &data) override;
    bool playWav(const QByteArray &data) override;
    bool playFile(const QString &path) override;
    void stop() override;

    // For tests.
    int plays() const;              // accepted plays
    qsizetype lastDataSize() const; // bytes of the last accepted sound
    QString playing() const;        // what plays now; empty when nothing does
    QString lastCut() const;        // what the last accepted play cut off
    int stops() const;              // calls of stop()
    QString lastStopped() const;    // what the last stop() ended; empty when nothing played
    // Without a device every play returns false, as the real player does.
    void setDeviceAvailable(bool available);
    void reset();

private:
    bool start(const QByteArray &data, const QString &name); // mutex not held

    mutable std::mutex mutex;
    int playCount = 0;
    qsizetype lastSize = 0;
    QString now, cut, stopped;
    int stopCount = 0;
    bool device = true;
};

RecordingSoundPlayer &recordingSoundPlayer();

} // namespace platform
