#pragma once

#include "core/SoundId.h"

// What a gesture is mapped to (the value of its mapping setting): 0 none, 1 the primary
// button by the click options, 2 right button, 3 Space, 4 Enter, 5 "1", 6 F12, 7 F13, 8 F14,
// 9 recentre the pointer, 10 freeze the pointer.
using ActionType = int;
// 0 click (down and up), 1 press, 2 release.
using ActionPhase = int;

namespace ActionPhases {
constexpr ActionPhase Click = 0;
constexpr ActionPhase Press = 1;
constexpr ActionPhase Release = 2;
} // namespace ActionPhases

// A gesture began: clicks at once when forced or with instant clicking, presses otherwise.
void gestureStart(ActionType type, int &started, int &ended, bool force);
// The gesture ended.
void gestureEnd(ActionType type);
void performAction(ActionType type, ActionPhase phase);
// The primary button by the click options; `extraCount` adds one more to the click counter.
void primaryClick(bool extraCount);
void primaryPress(bool extraCount);
void primaryRelease();
// One dwell click: under the drag option the first presses and the second releases.
void dragStep();
void dispatchSmileClick(ActionType type, int &started, int &ended);
// The scroll click option's entry into scrolling.
void startScrollMode();

// Feedback sounds: the preloaded ones, and the pointer ticks played from their files.
void playSound(SoundId id);
void playSoundFile(SoundId id);

// Buttons and keys the engine holds down itself.
bool engineHoldsButton(bool right);
bool engineHoldsAnyInput();
