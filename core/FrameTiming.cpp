#include "core/FrameTiming.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace FrameTiming {
namespace {

using Clock = std::chrono::steady_clock;

std::FILE *openTimingFile()
{
    const char *path = std::getenv("TOVRA_FRAME_TIMING");
    if (!path || !*path)
        return nullptr;
    std::FILE *file = std::fopen(path, "w");
    // Line by line, so a reader sees whole frames while the program runs.
    if (file)
        std::setvbuf(file, nullptr, _IOLBF, 0);
    return file;
}

std::FILE *const timingFile = openTimingFile();

// Worker thread only.
bool inFrame = false;
unsigned frameMs = 0;
Clock::time_point frameStart;
long long moveLatencyUs = -1;
bool faceFound = false;

long long microsecondsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
}

} // namespace

namespace detail {

const bool enabled = timingFile != nullptr;

void frameStarted(unsigned frameTimeMs)
{
    inFrame = true;
    frameMs = frameTimeMs;
    frameStart = Clock::now();
    moveLatencyUs = -1;
    faceFound = false;
}

void pointerMoved()
{
    if (inFrame && moveLatencyUs < 0)
        moveLatencyUs = microsecondsSince(frameStart);
}

void faceInFrame(bool face)
{
    faceFound = face;
}

void frameEnded()
{
    if (!inFrame)
        return;
    inFrame = false;
    std::fprintf(timingFile, "%u %lld %lld %d\n", frameMs, microsecondsSince(frameStart),
                 moveLatencyUs, faceFound ? 1 : 0);
}

} // namespace detail
} // namespace FrameTiming
