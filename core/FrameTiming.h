#pragma once

// Frame timing for the load benchmark (bench/program-load). With TOVRA_FRAME_TIMING naming a
// file when the program starts, the worker writes one line per processed frame:
//
//   <frame time ms> <pass us> <move latency us> <face>
//
// the frame's time stamp, how long the pass took until its preview was sent, the time from
// the time stamp to the first synthetic pointer move of that frame (-1 without a move), and 1
// when the frame has a face box (found or carried), else 0.
// Off by default; when off every call is one test of a flag read once at start-up.
namespace FrameTiming {

namespace detail {
extern const bool enabled;
void frameStarted(unsigned frameTimeMs);
void pointerMoved();
void faceInFrame(bool face);
void frameEnded();
} // namespace detail

// The worker stamped a new frame.
inline void frameStarted(unsigned frameTimeMs)
{
    if (detail::enabled)
        detail::frameStarted(frameTimeMs);
}
// A synthetic pointer move went out.
inline void pointerMoved()
{
    if (detail::enabled)
        detail::pointerMoved();
}
// Whether the frame has a face box.
inline void faceInFrame(bool face)
{
    if (detail::enabled)
        detail::faceInFrame(face);
}
// The frame's pass is done (its preview sent, or skipped).
inline void frameEnded()
{
    if (detail::enabled)
        detail::frameEnded();
}

} // namespace FrameTiming
