#include "engine/ClickEngine.h"

#include "engine/EngineState.h"
#include "engine/FacialGestures.h"
#include "engine/ScrollMode.h"
#include "engine/SmileGesture.h"
#include "engine/TrackingParameters.h"

void interruptGestures()
{
    // Each gesture that can hold an action, a ring or a cursor is put back to idle here.
    interruptSmileGesture();
    interruptScrollMode();
    interruptFacialGestures();
}

bool gestureHoldsInput(InputOwner owner)
{
    switch (owner) {
    case InputOwner::Smile: {
        const SmileModeState &s = smileModeState;
        return s.smileActive && s.actionStarted && !s.actionEnded && !smileStandsAside();
    }
    case InputOwner::SlowBlink: {
        const BlinkRecord &b = blinkState.current;
        return b.inProgress && b.actionStarted && !b.actionEnded;
    }
    case InputOwner::MouthOpen: {
        const MouthOpenRecord &g = mouthOpenState.current;
        return g.inProgress && g.actionStarted && !g.actionEnded && !mouthOpenStandsAside();
    }
    case InputOwner::EyebrowRaise: {
        const EyebrowRaiseRecord &r = eyebrowRaiseState.raise;
        return r.inProgress && r.actionStarted && !r.actionEnded;
    }
    case InputOwner::Drag:
        return clickOptionState.dragState != 0;
    case InputOwner::Direct:
    case InputOwner::Count:
        break;
    }
    return false;
}
