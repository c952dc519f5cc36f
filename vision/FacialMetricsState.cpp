#include "vision/FacialMetricsState.h"

void FacialMetricsState::startSession()
{
    mouthEyeRatio.init('w');
    mouthJawRatio.init('j');
    cornerLift.init('l');
    eyeClosure.init('e');
    eyeClosureSmoothed.init('e');
    lidToLipClosure.init('e');
    mouthOpen.init('m');
    browRaise.init('r');
    skippedSamples = 0;
}
