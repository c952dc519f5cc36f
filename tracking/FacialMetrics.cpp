#include "tracking/FacialMetrics.h"

void resetFacialMetrics(FacialMetrics &record)
{
    record = FacialMetrics();
}
