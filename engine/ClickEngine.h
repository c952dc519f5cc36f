#pragma once

#include "engine/InputOwners.h"
#include "engine/StillnessDetector.h"

#include <QtGlobal>

// The click engine's per-frame steps and the resets the tracker and the windows ask for.
// Everything runs on the tracker's worker thread and reads the per-frame records
// (vision/FrameRecords.h) and the parameter blocks (engine/TrackingParameters.h).

// --- Per-frame steps, in the order the frame loop calls them. ---------------------------

// Absolute pointing only: whether the mapped pointer left the primary screen.
void updatePointerOffScreenFlag();
// True when a real mouse moved the pointer: the rest of the engine sits this frame out.
bool detectExternalMouseMotion();
void procSmile();
void procBlinkEvent();
void procEyebrowRaiseEvent();
void procMouthOpenEvent();
void procScroll();
void procHoldHeadSteady(StillnessDetector &detector);
// The recentring countdown of hold-head-steady mapped to recentre.
void procAutoRecenter(StillnessDetector &detector);
// Live dwell-park values for the settings window.
void sendDwellParkValues(StillnessDetector &absoluteDetector, StillnessDetector &relativeDetector);
// Moves the pointer with the head.
void procPointerMotion(StillnessDetector &detector);
void procDwellClick();
// For every frame on which procDwellClick does not run (paused, calibrating, a real mouse
// moved, another mode): a dwell in progress ends with its ring, so that back at rest it
// starts afresh and shows its whole countdown instead of clicking at once.
void interruptDwell();

// --- State the tracker reads. ----------------------------------------------------------

// A smile episode is being measured (the face must not be searched afresh meanwhile).
bool isSmileInProgress();
// The head scrolls (entered by the smile's scroll stage or the scroll click option).
bool isSmileScrolling();
// The wheel step sent this frame (its sign gives the direction, 0 in the dead zone), the
// speed index and the resting progress of scrolling, for the scroll status images.
int scrollOffset();
int scrollSpeedIndex();
bool isScrollParked();
float scrollParkPercent();

// Whether the owner's gesture, by its own state, holds what it pressed: in progress with its
// action started and not ended and not standing aside for another gesture; the drag option's
// drag between its two clicks. An owner holds input only while this is true.
bool gestureHoldsInput(InputOwner owner);

// --- Resets. ---------------------------------------------------------------------------

// Pointer bookkeeping back to the screen centre, both dwell records with it.
void resetPointerState();
// The centre of the primary screen in the units the input service takes.
void primaryScreenCentre(int &x, int &y);
// Resets the pointer bookkeeping and moves the pointer to the screen centre.
void recenterPointer();
// Both dwell records, when tracking starts or the frame source changes.
void resetDwellRecords();
// Every gesture record; ends an action that was started and not ended first.
void resetGestureState();
void setDragMode(int value);
void setClickPerformed(int value);
// Plays the recentre sound when enabled, then recentres the pointer.
void recenterWithSound();
// Lets go of every button and key the engine holds (end of tracking, pause, exit).
void releaseHeldInput();
// Ends every gesture's action and puts its ring, cursors and status images back, leaving
// the gestures idle: for frames that skip them (a pause, clicking paused, calibration, a
// gesture switched off, real mouse motion, the end of the loop).
void interruptGestures();
