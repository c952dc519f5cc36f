#include "vision/FacialMetrics.h"

void resetFacialMetrics(FacialMetrics &record)
{
    record = FacialMetrics();
}
