#pragma once

#include <QtGlobal>

// The frame loop's side of the click engine: what one pass of the loop does with it, whatever
// the pass finds (a frame, no frame, the engine off, a pause, an error). Worker thread.

// The loop starts: the no-frame clock starts now (ms, the low 32 bits of currentTimeMs).
void startEnginePasses(quint32 nowMs);

// A frame with the engine on: the steps in their order. False when a real mouse has the
// pointer (the rest of the pass is skipped). `dwellRan` tells whether dwell clicking ran.
bool runEnginePass(bool &dwellRan);

// A frame with the engine off (calibration): the gestures stay idle and a drag is dropped.
void suspendEnginePass();

// A pass without a frame at `nowMs`. A gap shorter than kNoFrameLimitMs changes nothing; a
// longer one ends every gesture and dwell and lets go of what is held, once, as a lost face
// does.
constexpr quint32 kNoFrameLimitMs = 500;
void enginePassWithoutFrame(quint32 nowMs);

// Everything idle and nothing held: a pass that threw, clicking or processing paused.
void releaseEverything();
