// The frame loop's rules: pacing, processing size, status images, the detection schedule.

#include "tracking/FaceDetectionSchedule.h"
#include "tracking/FrameLoopRules.h"

#include <gtest/gtest.h>

using namespace FrameLoopRules;

namespace {

TEST(FramePacing, SleepsOnlyWhatIsLeftOfThePeriod)
{
    EXPECT_EQ(framePeriodMs(32), 31);
    EXPECT_EQ(framePeriodMs(0), 31);
    EXPECT_EQ(framePeriodMs(-5), 31);
    EXPECT_EQ(pacingSleepMs(31, 10), 21);
    EXPECT_EQ(pacingSleepMs(31, 40), 0);
    EXPECT_EQ(pacingSleepMs(31, 0), 31);
    // A clock that stepped back never makes the pass sleep longer than a period.
    EXPECT_EQ(pacingSleepMs(31, -500), 31);
}

TEST(FrameSize, TheSmallerSideBecomesTheProcessingSize)
{
    EXPECT_EQ(processingSize({640, 480}, 406), cv::Size(541, 406));
    EXPECT_EQ(processingSize({480, 640}, 406), cv::Size(406, 541));
    EXPECT_EQ(processingSize({1280, 720}, 406), cv::Size(722, 406));
    EXPECT_EQ(processingSize({541, 406}, 406), cv::Size(541, 406));
    // Nonsense sizes leave the frame alone.
    EXPECT_EQ(processingSize({640, 480}, 15), cv::Size(640, 480));
    EXPECT_EQ(processingSize({0, 0}, 406), cv::Size(0, 0));
}

TEST(StatusImages, TheFaceImageFollowsTheDetectorsAndTheLips)
{
    const FaceStatus found{true, true, 5.0, 5.0};
    const FaceStatus followedCalm{false, true, 1.0, 1.0};
    const FaceStatus followedMoving{false, true, 3.0, 1.0};
    const FaceStatus missing{false, false, 0.0, 0.0};
    EXPECT_EQ(faceStatusImage(found, true, true), "faceGreen.png");
    EXPECT_EQ(faceStatusImage(followedCalm, true, true), "faceGreen.png");
    EXPECT_EQ(faceStatusImage(followedMoving, true, true), "faceRed.png");
    EXPECT_EQ(faceStatusImage(missing, true, true), "faceNotFound.png");
    EXPECT_EQ(faceStatusImage(found, false, true), "invisible.png");
    EXPECT_EQ(faceStatusImage(missing, true, false), "invisible.png");
}

TEST(StatusImages, TheSmileImageCountsFifthsAboveTheThreshold)
{
    EXPECT_EQ(smileStatusImage(60, 60), "invisible.png");
    EXPECT_EQ(smileStatusImage(60.1, 60), "Smile1.png");
    EXPECT_EQ(smileStatusImage(68, 60), "Smile2.png");
    EXPECT_EQ(smileStatusImage(95, 60), "Smile5.png");
    EXPECT_EQ(smileStatusImage(150, 60), "Smile5.png");
    EXPECT_EQ(smileStatusImage(100, 100), "invisible.png");
}

TEST(StatusImages, ScrollImagesShowDirectionAndParkProgress)
{
    EXPECT_EQ(scrollStatusImage(3), "ScrollUp200.png");
    EXPECT_EQ(scrollStatusImage(-1), "ScrollDown200.png");
    EXPECT_EQ(scrollStatusImage(0), "invisible.png");
    EXPECT_EQ(scrollMotionImage(false, 50), "d20.png");
    EXPECT_EQ(scrollMotionImage(true, 50), "dd10.png");
    EXPECT_EQ(scrollMotionImage(true, 95), "invisible.png");
    EXPECT_EQ(scrollMotionImage(true, 0), "dd0.png");
}

// --- Detection schedule ----------------------------------------------------------------------

struct Frames
{
    FrameDetection current, previous, beforePrevious;
    FacialMetrics metrics;
    HeadMotionState motion;
    quint32 hogSeenMs = 0;
    bool ready = true;
    bool smiling = false;

    Frames()
    {
        resetFacialMetrics(metrics);
        previous.faceBox = FaceBox{100, 100, 199, 199};
        beforePrevious.faceBox = previous.faceBox;
        current.processingSize = previous.processingSize = 406;
    }
    FaceDetectionSchedule::Inputs inputs() const
    {
        return {current, previous, beforePrevious, metrics, motion, hogSeenMs, ready, smiling};
    }
    void at(quint32 now)
    {
        beforePrevious.frameTimeMs = now - 62;
        previous.frameTimeMs = now - 31;
        current.frameTimeMs = now;
    }
};

bool runs(FaceDetectionSchedule &schedule, const Frames &f, bool redetect = false)
{
    bool runHog = false, allowHaar = true;
    schedule.scheduleFaceDetection(f.inputs(), redetect, runHog, allowHaar);
    EXPECT_FALSE(allowHaar);
    return runHog;
}

TEST(DetectionSchedule, RunsEveryFrameUntilTheHistogramIsReadyAndWithoutAFace)
{
    FaceDetectionSchedule schedule;
    Frames f;
    f.at(100000);
    f.hogSeenMs = 100000 - 31;
    f.ready = false;
    EXPECT_TRUE(runs(schedule, f));
    f.ready = true;
    f.previous.faceBox.clear();
    EXPECT_TRUE(runs(schedule, f));
}

TEST(DetectionSchedule, RestsASecondAfterASuccessThenRetriesEvery200Ms)
{
    FaceDetectionSchedule schedule;
    Frames f;
    f.at(100000);
    f.hogSeenMs = 100000;
    EXPECT_FALSE(runs(schedule, f)); // found just now: rest
    f.at(101000);
    EXPECT_TRUE(runs(schedule, f)); // a second later, more than 200 ms since the last run
    f.at(101100);
    EXPECT_FALSE(runs(schedule, f)); // lost: not within 200 ms of the last run
    f.at(101250);
    EXPECT_TRUE(runs(schedule, f));
    // Five seconds after the last success: once a second.
    f.at(106000);
    EXPECT_TRUE(runs(schedule, f));
    f.at(106500);
    EXPECT_FALSE(runs(schedule, f));
    f.at(107100);
    EXPECT_TRUE(runs(schedule, f));
    // Exactly 60000 ms after the last success the detector rests.
    f.at(160000);
    EXPECT_FALSE(runs(schedule, f));
}

TEST(DetectionSchedule, ARedetectionForcesARunAndCountsAsOne)
{
    FaceDetectionSchedule schedule;
    Frames f;
    f.at(100000);
    f.hogSeenMs = 99990;
    EXPECT_TRUE(runs(schedule, f, true));
    EXPECT_EQ(schedule.lastDetectionRun(), 100000u);
}

// Nobody in view: every frame searches, for webcam-sized faces and the last face's size first but
// for a full search once a second; after three seconds only every 150 ms, fully every two
// seconds, the last face's size still looked for a minute on; a face ends it.
TEST(DetectionSchedule, WithoutAFaceSearchesForLargeFacesFirstAndRestsWhenNobodyIsThere)
{
    FaceDetectionSchedule schedule;
    Frames f;
    f.previous.faceBox = FaceBox{100, 100, 299, 299};
    quint32 now = 100000;
    f.at(now);
    f.hogSeenMs = now;
    EXPECT_FALSE(runs(schedule, f));
    f.previous.faceBox.clear();
    int runsSeen = 0, fullSeen = 0;
    // The first three seconds: every frame, one full search a second.
    for (now += 31; now < 100000 + 2990; now += 31) {
        f.at(now);
        ASSERT_TRUE(runs(schedule, f)) << now;
        EXPECT_FALSE(schedule.nobodyThere());
        fullSeen += !schedule.largeFacesFirst();
    }
    EXPECT_EQ(fullSeen, 3);
    // Then: the detector rests, searching every 150 ms or a little more.
    quint32 lastRun = 0, lastFull = 0;
    fullSeen = 0;
    for (now += 62; now < 100000 + 60000; now += 31) {
        f.at(now);
        const bool ran = runs(schedule, f);
        EXPECT_TRUE(schedule.nobodyThere());
        if (!ran)
            continue;
        if (lastRun != 0) {
            EXPECT_GE(now - lastRun, 150u);
            EXPECT_LE(now - lastRun, 150u + 31);
        }
        lastRun = now;
        ++runsSeen;
        EXPECT_EQ(schedule.lastFaceWidth(), 200);
        if (!schedule.largeFacesFirst()) {
            if (lastFull != 0) {
                EXPECT_LE(now - lastFull, 2000u + 31 * 5);
            }
            lastFull = now;
            ++fullSeen;
        }
    }
    EXPECT_GE(runsSeen, 350);
    EXPECT_GE(fullSeen, 27);
    // Someone comes back: the schedule is the usual one at once.
    f.previous.faceBox = FaceBox{100, 100, 299, 299};
    f.hogSeenMs = now - 31;
    f.at(now);
    EXPECT_FALSE(runs(schedule, f));
    EXPECT_FALSE(schedule.nobodyThere());
}

// The quick search looks for the last face box's width until a face of another size is seen,
// scaled with the processing size.
TEST(DetectionSchedule, TheLastFaceSizeIsTheLastBoxSeenAtTheCurrentProcessingSize)
{
    FaceDetectionSchedule schedule;
    Frames f;
    f.previous.faceBox.clear();
    f.at(100000);
    runs(schedule, f);
    EXPECT_EQ(schedule.lastFaceWidth(), 0);
    for (const int width : {70, 140, 81}) {
        f.previous.faceBox = FaceBox{100, 100, 99 + width, 99 + width};
        f.at(f.current.frameTimeMs + 31);
        runs(schedule, f);
        f.previous.faceBox.clear();
        f.at(f.current.frameTimeMs + 31);
        EXPECT_TRUE(runs(schedule, f));
        EXPECT_TRUE(schedule.largeFacesFirst());
        EXPECT_EQ(schedule.lastFaceWidth(), width);
    }
    f.current.processingSize = 812;
    f.at(f.current.frameTimeMs + 31);
    runs(schedule, f);
    EXPECT_EQ(schedule.lastFaceWidth(), 162);
}

TEST(DetectionSchedule, RedetectionRules)
{
    FaceDetectionSchedule schedule;
    Frames f;
    f.at(100000);
    EXPECT_FALSE(schedule.needsFaceRedetection(f.inputs()));

    Frames resized = f;
    resized.current.processingSize = 300;
    EXPECT_TRUE(schedule.needsFaceRedetection(resized.inputs()));

    Frames unreliable = f;
    unreliable.metrics.unreliability = 0.99;
    EXPECT_TRUE(schedule.needsFaceRedetection(unreliable.inputs()));
    unreliable.smiling = true;
    EXPECT_FALSE(schedule.needsFaceRedetection(unreliable.inputs()));

    Frames jumped = f;
    jumped.previous.regionShift = {30, 0}; // more than a quarter of a 100 px box
    EXPECT_TRUE(schedule.needsFaceRedetection(jumped.inputs()));
    jumped.previous.frameTimeMs = jumped.beforePrevious.frameTimeMs + 150; // a gap, not a jump
    EXPECT_FALSE(schedule.needsFaceRedetection(jumped.inputs()));

    Frames shrunk = f;
    shrunk.previous.faceBox = FaceBox{100, 100, 149, 149};
    EXPECT_TRUE(schedule.needsFaceRedetection(shrunk.inputs()));
}

TEST(DetectionSchedule, SixtyQuietFramesWithAnUnchangedBoxForceARedetection)
{
    FaceDetectionSchedule schedule;
    Frames f;
    f.previous.regionShift = {0.05, 0.0};
    for (int i = 1; i < 60; ++i) {
        f.at(100000 + quint32(i) * 31);
        ASSERT_FALSE(schedule.needsFaceRedetection(f.inputs())) << i;
    }
    EXPECT_TRUE(schedule.needsFaceRedetection(f.inputs()));
    EXPECT_EQ(schedule.steadyFrames(), 0);
}

} // namespace
