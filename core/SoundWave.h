#pragma once

#include <QByteArray>

// One WAV file read whole into memory at start and played from memory, so the worker
// thread never touches the disk for feedback sounds.
class SoundWave
{
public:
    SoundWave() = default;
    // Stops the process's sound before the data goes away.
    ~SoundWave();
    SoundWave(const SoundWave &) = delete;
    SoundWave &operator=(const SoundWave &) = delete;

    // Reads the file; a missing, truncated or malformed WAV leaves the sound unloaded
    // (silent) and prints one line.
    void load(const char *fileName);
    // Plays the sound in the background, cutting one that plays. Nothing when not loaded.
    void play(bool async = true);
    bool isLoaded() const { return loaded; }

private:
    QByteArray data;
    bool loaded = false;
};
