#pragma once

// The desktop's pointer parameters that the program overrides while it runs: pointer speed,
// acceleration, wheel lines. A snapshot taken at start is put back exactly at exit.
namespace platform {

class MouseParameters
{
public:
    // Everything needed to put the user's settings back as they were.
    struct Snapshot
    {
        bool valid = false;
        // The X server's pointer control: acceleration as a fraction, applied above threshold.
        int accelNumerator = 1;
        int accelDenominator = 1;
        int threshold = 0;
        // Pointer speed on the 1..20 scale, 10 meaning "unscaled".
        int speed = 10;
        // Lines scrolled per wheel notch.
        unsigned wheelLines = 3;
    };

    virtual ~MouseParameters() = default;

    // Reads the current parameters; valid is false when they cannot be read.
    virtual Snapshot snapshot() = 0;
    // Writes back a snapshot taken earlier. False (and one log line) on failure.
    virtual bool restore(const Snapshot &saved) = 0;

    // Pointer speed, 1..20 (values outside are clamped); 10 leaves motion unscaled.
    virtual bool setSpeed(int speed) = 0;
    virtual int speed() = 0;
    // Pointer acceleration for fast motion ("enhanced precision").
    virtual bool setEnhancedPrecision(bool on) = 0;
    // Lines per wheel notch. X11 has no such setting: the layer keeps the value.
    virtual bool setWheelLines(unsigned lines) = 0;
    virtual unsigned wheelLines() = 0;
};

} // namespace platform
