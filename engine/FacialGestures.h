#pragma once

#include "engine/ActionDispatch.h"

#include <QString>
#include <QtGlobal>

// The slow blink, mouth-open and eyebrow-raise gestures beyond their per-frame steps
// (ClickEngine.h): resets, the interruptions that leave them idle, and what they share.
// Worker thread only.

// Each ends the action its gesture started and has not ended, puts the pointing mode and the
// settings window's highlight back, and leaves the gesture idle. For frames that skip the
// gesture: a pause, clicking paused, calibration, the gesture switched off, a real mouse
// taking over, the end of tracking.
void interruptSlowBlink();
void interruptMouthOpen();
void interruptEyebrowRaise();
void interruptFacialGestures();

// A reset of a gesture's record ends the action the gesture's owner holds first.
void resetBlinkState();
void resetMouthOpenState();
// The eyebrow sample: only the time and the lift's rise marker stay.
void resetEyebrowRecord(quint32 timeMs);
// The raise record; with `restartSums` also the running region-tilt sums of this frame's
// metrics, so the next raise is measured from zero.
void resetEyebrowState(bool restartSums);
// A smile, a stuck slow blink or raise, or a smile drag holds the mouth gesture off (unless the
// opening is stuck itself); an opening in progress then ends.
bool mouthOpenStandsAside();

// The eyebrow's tilt limit grows with a start faster than the fast rate.
void scaleEyebrowLimits(double startRate);

// The eyebrow limits for a threshold (a threshold below 1 counts as 1).
struct EyebrowLimits
{
    int threshold = 1;
    double riseLimit = 0.0;
    double fastRate = 0.0;
    double slowRate = 0.0;
};
EyebrowLimits eyebrowLimits(int threshold);

namespace facialgestures {

// Mappings whose action is a held button: left or right button, freeze.
inline bool isButtonAction(ActionType type)
{
    return type == 1 || type == 2 || type == 10 || type == 11;
}
void sendLevel(const QString &name, int value, bool grey = false);
void sendState(const QString &name, bool active);
// A gesture's held action came to its end: the click options fall back afterwards, unless it
// was on the program's own windows or a drag goes on.
void markClickPerformed();
// Ends an action that was started and has not ended yet, as the owner started it.
void endStartedAction(qint32 &started, qint32 &ended, InputOwner owner);
bool pointerOffScreen();
// A level as the sliders show it: the value plus 0.5, truncated.
int roundedLevel(double value);

} // namespace facialgestures
