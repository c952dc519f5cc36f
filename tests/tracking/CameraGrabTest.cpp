// Frames from a camera that may stop answering: the frame loop waits a limited time for each.

#include "tracking/CameraGrab.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

// A camera whose reads block until the test lets one through.
struct StallingCamera
{
    std::mutex mutex;
    std::condition_variable released;
    int framesAllowed = 0;
    std::atomic<int> grabs{0};

    CameraGrab::Source source(std::shared_ptr<StallingCamera> self)
    {
        return [self](cv::Mat &frame) {
            std::unique_lock<std::mutex> lock(self->mutex);
            self->released.wait(lock, [&] { return self->framesAllowed > 0; });
            --self->framesAllowed;
            frame = cv::Mat(4, 4, CV_8UC3, cv::Scalar(++self->grabs, 0, 0));
            return true;
        };
    }
    void allow(int frames)
    {
        std::lock_guard<std::mutex> lock(mutex);
        framesAllowed += frames;
        released.notify_all();
    }
};

TEST(CameraGrab, AStalledCameraCostsEachWaitItsTimeoutAndItsLateFrameComesNext)
{
    auto camera = std::make_shared<StallingCamera>();
    CameraGrab grab(camera->source(camera));
    cv::Mat frame;
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(grab.next(frame, 100));
    EXPECT_FALSE(grab.next(frame, 100));
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_TRUE(frame.empty());

    // The camera answers again: the grab that waited delivers, then each call gets a new one.
    camera->allow(2);
    ASSERT_TRUE(grab.next(frame, 5000));
    EXPECT_EQ(frame.at<cv::Vec3b>(0, 0)[0], 1);
    ASSERT_TRUE(grab.next(frame, 5000));
    EXPECT_EQ(frame.at<cv::Vec3b>(0, 0)[0], 2);
    EXPECT_EQ(camera->grabs, 2);
}

TEST(CameraGrab, ASourceThatFailsSaysSoAndAGrabberLeftInAStalledReadEndsAtOnce)
{
    CameraGrab failing([](cv::Mat &) { return false; });
    cv::Mat frame;
    EXPECT_FALSE(failing.next(frame, 5000));

    auto camera = std::make_shared<StallingCamera>();
    QElapsedTimer timer;
    timer.start();
    {
        CameraGrab grab(camera->source(camera));
        EXPECT_FALSE(grab.next(frame, 50));
    } // gone while its read still blocks
    EXPECT_LT(timer.elapsed(), 5000);
    camera->allow(1); // the read returns later into a grabber that is gone
}

} // namespace
