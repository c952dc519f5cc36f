#pragma once

#include <opencv2/core/mat.hpp>

#include <functional>
#include <memory>

// Frames from a source that may stop answering (a camera whose driver hangs mid-read, a USB
// camera pulled out): each grab runs on a thread of the grabber's own, and the frame loop
// waits for it a limited time, so the loop (and the tracker's lock it holds) is never held
// longer. A grab that never returns holds only that thread and what the source owns.
class CameraGrab
{
public:
    // Grabs one frame into `frame`; false when there is none. Runs on the grabber's thread.
    using Source = std::function<bool(cv::Mat &frame)>;

    explicit CameraGrab(Source source);
    // Never waits for a grab under way: its thread ends by itself when the grab returns.
    ~CameraGrab();
    CameraGrab(const CameraGrab &) = delete;
    CameraGrab &operator=(const CameraGrab &) = delete;

    // The next frame; false when the source gave none, or none within `timeoutMs` (the grab
    // under way then delivers to a later call).
    bool next(cv::Mat &frame, int timeoutMs);

private:
    struct Shared;
    std::shared_ptr<Shared> shared;
};
