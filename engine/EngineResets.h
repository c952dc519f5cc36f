#pragma once

#include "engine/EngineState.h"

// Idle dwell: no start, no anchor.
void resetDwellRecord(DwellRecord &record);
// Ends the smile episode now; the next one starts from the current smile threshold.
void resetSmileEpisode();
// The scroll record back to rest.
void resetScrollState();
