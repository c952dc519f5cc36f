#include "engine/ClickEngine.h"

#include "engine/EngineState.h"
#include "engine/ScrollMode.h"
#include "engine/SmileGesture.h"

// Steps whose gestures are not built yet do nothing.

void procBlinkEvent() {}
void procEyebrowRaiseEvent() {}
void procMouthOpenEvent() {}

void interruptGestures()
{
    // Each gesture that can hold an action, a ring or a cursor is put back to idle here.
    interruptSmileGesture();
    interruptScrollMode();
}
