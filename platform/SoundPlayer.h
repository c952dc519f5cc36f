#pragma once

#include <QByteArray>
#include <QString>

// Short feedback sounds. One sound plays at a time: a new one cuts the one playing.
namespace platform {

class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;

    // True when data is a complete, well-formed WAV image that play() can use.
    virtual bool isPlayableWav(const QByteArray &data) = 0;
    // Plays a WAV image held in memory; returns at once. The player keeps its own copy.
    // False when the data is not playable or no sound device exists.
    virtual bool playWav(const QByteArray &data) = 0;
    // Plays a WAV file, the same way.
    virtual bool playFile(const QString &path) = 0;
    // Stops whatever is playing; returns once the device no longer uses any sound data.
    virtual void stop() = 0;
};

} // namespace platform
