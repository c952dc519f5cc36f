#pragma once

#include "core/SoundId.h"
#include "engine/InputOwners.h"

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

// Clicking is not paused (also without an application, as in the engine's own tests).
bool clickingActive();

// A gesture began: clicks at once when forced or with instant clicking, presses otherwise.
// What it presses belongs to `owner`, and so does the action until its end.
void gestureStart(ActionType type, int &started, int &ended, bool force,
                  InputOwner owner = InputOwner::Direct);
// The owner's gesture ended: the action it started ends as it started (the mapping and the
// click options it began with), and whatever the owner holds goes up.
void gestureEnd(InputOwner owner = InputOwner::Direct);
void performAction(ActionType type, ActionPhase phase, InputOwner owner = InputOwner::Direct);
// The primary button by the click options; `extraCount` adds one more to the click counter.
void primaryClick(bool extraCount);
void primaryPress(bool extraCount, InputOwner owner = InputOwner::Direct);
void primaryRelease(InputOwner owner = InputOwner::Direct);
// One dwell click: under the drag option the first presses and the second releases.
void dragStep();
void dispatchSmileClick(ActionType type, int &started, int &ended);
// The scroll click option's entry into scrolling.
void startScrollMode();

// Feedback sounds: the preloaded ones, and the pointer ticks played from their files.
void playSound(SoundId id);
void playSoundFile(SoundId id);

// Lets go of a drag the drag option picked up (a real mouse taking over, calibration, no
// frames): what is held goes up before anything moves the pointer.
void dropDrag();

// Buttons and keys the engine holds down itself.
bool engineHoldsButton(bool right);
bool engineHoldsAnyInput();
