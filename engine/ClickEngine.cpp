#include "engine/ClickEngine.h"

#include "engine/EngineState.h"

// Steps whose gestures are not built yet do nothing: with them the engine clicks by
// dwelling only.

void procSmile() {}
void procBlinkEvent() {}
void procEyebrowRaiseEvent() {}
void procMouthOpenEvent() {}
void procScroll() {}

bool isSmileInProgress()
{
    return smileModeState.smileActive != 0;
}

bool isSmileScrolling()
{
    return false;
}

int scrollOffset()
{
    return 0;
}

int scrollSpeedIndex()
{
    return 0;
}

bool isScrollParked()
{
    return false;
}

float scrollParkPercent()
{
    return 0.0f;
}
