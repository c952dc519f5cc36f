#include "tracking/CameraGrab.h"

#include "platform/ThreadName.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// Everything the grab thread uses: shared, so that a thread left in a grab that does not
// return still owns what it touches after the grabber is gone.
struct CameraGrab::Shared
{
    Source source;
    std::mutex mutex;
    std::condition_variable changed;
    bool requested = false; // a grab is asked for or under way
    bool delivered = false; // its result waits to be taken
    bool result = false;
    bool closing = false;
    cv::Mat frame;

    static void run(std::shared_ptr<Shared> s)
    {
        platform::nameCurrentThread("tovra-camera");
        std::unique_lock<std::mutex> lock(s->mutex);
        for (;;) {
            s->changed.wait(lock, [&] { return s->closing || (s->requested && !s->delivered); });
            if (s->closing)
                return;
            lock.unlock();
            cv::Mat grabbed;
            const bool ok = s->source(grabbed);
            lock.lock();
            s->frame = grabbed;
            s->result = ok;
            s->delivered = true;
            s->changed.notify_all();
        }
    }
};

CameraGrab::CameraGrab(Source source)
    : shared(std::make_shared<Shared>())
{
    shared->source = std::move(source);
    std::thread(&Shared::run, shared).detach();
}

CameraGrab::~CameraGrab()
{
    std::lock_guard<std::mutex> lock(shared->mutex);
    shared->closing = true;
    shared->changed.notify_all();
}

bool CameraGrab::next(cv::Mat &frame, int timeoutMs)
{
    std::unique_lock<std::mutex> lock(shared->mutex);
    if (!shared->requested) {
        shared->requested = true;
        shared->changed.notify_all();
    }
    if (!shared->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                  [&] { return shared->delivered; }))
        return false;
    frame = shared->frame;
    shared->frame = cv::Mat();
    shared->requested = shared->delivered = false;
    return shared->result;
}
