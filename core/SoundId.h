#pragma once

// The feedback sounds the application object loads at start, in load order.
enum class SoundId
{
    LmbPress,
    LmbRelease,
    Click,
    DoubleClick,
    Pluck,
    Beep,
    BeepHi,
    BeepLo,
    Tick,
    Tock,
    ScrollTick,
    RightDrag,
    Zoom,
    LoudBlink,
    Count
};

// The file of each sound, opened by relative name from the program's folder.
const char *soundFileName(SoundId id);
