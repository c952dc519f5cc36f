#pragma once

#include <cstddef>
#include <cstdint>

// Where the sound player's samples go: a sound device in use, a fake in tests. Every call but
// available() comes from the player's one thread.
namespace platform {

class PcmSink
{
public:
    virtual ~PcmSink() = default;

    // Whether a device exists at all; asked once, before the first sound.
    virtual bool available() = 0;
    // Opens the device for 16-bit interleaved samples.
    virtual bool open(int channels, int sampleRate) = 0;
    // Blocks until the device has taken the frames.
    virtual bool write(const std::int16_t *samples, std::size_t frames) = 0;
    // Waits until everything written has been played.
    virtual void drain() = 0;
    // Discards everything written and not yet played, at once.
    virtual void drop() = 0;
    virtual void close() = 0;
};

} // namespace platform
