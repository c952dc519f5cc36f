#include "engine/ClickEngine.h"

#include "engine/EngineState.h"
#include "engine/FacialGestures.h"
#include "engine/ScrollMode.h"
#include "engine/SmileGesture.h"

void interruptGestures()
{
    // Each gesture that can hold an action, a ring or a cursor is put back to idle here.
    interruptSmileGesture();
    interruptScrollMode();
    interruptFacialGestures();
}
