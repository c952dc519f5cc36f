// Times the per-frame vision pipeline the way the frame loop runs it (mirror, grey, rescale
// to the default processing size, enhance, detect on the detection schedule or follow, fit,
// flow, metrics) against a baseline that runs dlib's detector and the landmark fit on every
// frame at the same size.
//
//   pipeline-bench VIDEO [--frames N]
//   pipeline-bench --image PHOTO [--frames N]
//
// With --image the clip is made from the photo: it drifts, turns and zooms a little from frame
// to frame, as a head in front of a webcam would. Standard output carries only the result
// lines; problems go to standard error.

#include "core/Clock.h"
#include "tracking/FaceDetectionSchedule.h"
#include "vision/ComputeFacialMetrics.h"
#include "vision/FaceTracker.h"
#include "vision/ImageEnhancement.h"
#include "vision/LandmarkModelFile.h"
#include "vision/MirroredFrame.h"
#include "vision/TrimmedMean.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// The default processing size: ADDITIONAL_RESOLUTION 150 + 256.
constexpr int kProcessingSize = 406;
// The camera's frame interval at 32 frames per second.
constexpr int kFrameIntervalMs = 1000 / 32;
constexpr int kDefaultImageFrames = 300;
const cv::Size kClipSize(640, 480);

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A frame of the clip made from a photo: the photo fitted into the frame, then moved by a
// slow drift, a small turn and a small zoom that change from frame to frame.
cv::Mat clipFrame(const cv::Mat &photo, int index)
{
    const double t = index * kFrameIntervalMs / 1000.0;
    const double fit =
        std::min(double(kClipSize.width) / photo.cols, double(kClipSize.height) / photo.rows);
    const double scale = fit * (1.0 + 0.03 * std::sin(t * 0.9));
    const double angle = 3.0 * std::sin(t * 1.3);
    const cv::Point2f centre(photo.cols / 2.0f, photo.rows / 2.0f);
    cv::Mat m = cv::getRotationMatrix2D(centre, angle, scale);
    m.at<double>(0, 2) += kClipSize.width / 2.0 - centre.x + 20.0 * std::sin(t * 1.7);
    m.at<double>(1, 2) += kClipSize.height / 2.0 - centre.y + 12.0 * std::sin(t * 1.1);
    cv::Mat frame;
    cv::warpAffine(photo, frame, m, kClipSize, cv::INTER_LINEAR, cv::BORDER_REPLICATE);
    return frame;
}

// Mirror, grey (and the preview's pixels, as the program makes them while its preview is shown),
// rescale so that the smaller side is the processing size.
void prepareFrame(const cv::Mat &captured, cv::Mat &colour, cv::Mat &grey)
{
    mirroredGrey(captured, true, false, grey);
    mirroredPreviewPixels(captured, true, false, colour);
    const int minSide = std::min(colour.cols, colour.rows);
    if (minSide <= 0 || minSide == kProcessingSize)
        return;
    const double scale = double(kProcessingSize) / minSide;
    const cv::Size size(int(std::lround(colour.cols * scale)),
                        int(std::lround(colour.rows * scale)));
    cv::resize(colour, colour, size, 0, 0, cv::INTER_LINEAR);
    cv::resize(grey, grey, size, 0, 0, cv::INTER_LINEAR);
}

double percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t rank = size_t(std::ceil(fraction * values.size()));
    return values[std::clamp<size_t>(rank, 1, values.size()) - 1];
}

int usage()
{
    std::fprintf(stderr, "usage: pipeline-bench VIDEO [--frames N]\n"
                         "       pipeline-bench --image PHOTO [--frames N]\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString videoPath, imagePath;
    int maxFrames = -1;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == "--image" && i + 1 < args.size()) {
            imagePath = args[++i];
        } else if (args[i] == "--frames" && i + 1 < args.size()) {
            bool ok = false;
            maxFrames = args[++i].toInt(&ok);
            if (!ok || maxFrames <= 0)
                return usage();
        } else if (videoPath.isEmpty() && !args[i].startsWith("--")) {
            videoPath = args[i];
        } else {
            return usage();
        }
    }
    if (videoPath.isEmpty() == imagePath.isEmpty())
        return usage();

    // The source of frames: the video, or the clip made from the photo.
    std::function<bool(cv::Mat &)> grab;
    cv::VideoCapture video;
    cv::Mat photo;
    int grabbed = 0;
    if (!videoPath.isEmpty()) {
        if (!video.open(QFile::encodeName(videoPath).toStdString())) {
            std::fprintf(stderr, "pipeline-bench: cannot open video %s\n", qPrintable(videoPath));
            return 1;
        }
        grab = [&](cv::Mat &frame) {
            return (maxFrames < 0 || grabbed++ < maxFrames) && video.read(frame) && !frame.empty();
        };
    } else {
        photo = cv::imread(QFile::encodeName(imagePath).toStdString(), cv::IMREAD_COLOR);
        if (photo.empty()) {
            std::fprintf(stderr, "pipeline-bench: cannot read image %s\n", qPrintable(imagePath));
            return 1;
        }
        const int clipFrames = maxFrames < 0 ? kDefaultImageFrames : maxFrames;
        grab = [&, clipFrames](cv::Mat &frame) {
            if (grabbed >= clipFrames)
                return false;
            frame = clipFrame(photo, grabbed++);
            return true;
        };
    }

    // The model pieces lie beside the program.
    const QString programFolder = QCoreApplication::applicationDirPath();
    FaceTracker tracker(programFolder);
    if (!tracker.isReady()) {
        std::fprintf(stderr, "pipeline-bench: %s\n", qPrintable(tracker.errorString()));
        return 1;
    }
    face_tracker_core baselineModel;
    QString error;
    if (!loadLandmarkModel(baselineModel, programFolder, &error)) {
        std::fprintf(stderr, "pipeline-bench: %s\n", qPrintable(error));
        return 1;
    }

    // Frame times advance at the camera's pace, as they would live.
    FakeClock clock;
    FacialMetricsState learning;
    FrameDetection current, previous, beforePrevious;
    FaceDetectionSchedule schedule;
    quint32 hogSeenMs = 0;
    FacialMetrics metrics, previousMetrics;
    HeadMotionState motion, previousMotion;
    resetFrameDetection(previous);
    resetFrameDetection(beforePrevious);
    resetFacialMetrics(previousMetrics);
    resetHeadMotionState(previousMotion, previous.frameTimeMs);
    cv::Size previousSize;

    std::vector<double> pipelineMs, baselineMs;
    int frames = 0, faces = 0;
    // Every frame's face box and landmarks folded into one number (FNV-1a), so that two builds
    // can be shown to find the same faces and points.
    std::uint64_t digest = 14695981039346656037ull;
    const auto fold = [&digest](int value) {
        digest = (digest ^ std::uint64_t(std::uint32_t(value))) * 1099511628211ull;
    };
    cv::Mat captured, colour, grey;
    while (grab(captured)) {
        clock.advance(kFrameIntervalMs);
        resetFrameDetection(current);
        resetFacialMetrics(metrics);
        resetHeadMotionState(motion, current.frameTimeMs);
        current.captureTimeMs = currentTimeMs32();

        const Clock::time_point start = Clock::now();
        prepareFrame(captured, colour, grey);
        current.processingSize = std::min(grey.cols, grey.rows);
        preprocessFrame(grey, EnhanceFlags::LogStretch | EnhanceFlags::Clahe, true);
        FaceBox searchBox = grey.size() == previousSize
                                ? previous.faceBox
                                : FaceBox{0, 0, grey.cols - 1, grey.rows - 1};
        // The frame loop's detection schedule decides when the detector runs.
        const FaceDetectionSchedule::Inputs inputs{current,
                                                   previous,
                                                   beforePrevious,
                                                   previousMetrics,
                                                   previousMotion,
                                                   hogSeenMs,
                                                   learning.mouthEyeRatio.ready(),
                                                   false};
        const bool redetect = schedule.needsFaceRedetection(inputs);
        if (redetect) {
            resetShape(previous.landmarks);
            previous.faceBox.clear();
            tracker.resetRegions();
            searchBox = previous.faceBox;
        }
        bool runHog = false, allowHaar = false;
        schedule.scheduleFaceDetection(inputs, redetect, runHog, allowHaar);
        tracker.setLargeFacesFirst(schedule.largeFacesFirst(), schedule.lastFaceWidth());
        current.faceFound = tracker.track(grey, searchBox, previous.landmarks, runHog, allowHaar,
                                          current.detectorBox, current.faceBox, current.landmarks);
        if (tracker.hogFaceFound())
            hogSeenMs = current.frameTimeMs;
        current.hogFaceFound = tracker.hogFaceFound();
        current.haarFaceFound = tracker.haarFaceFound();
        if (!current.faceBox.isEmpty()) {
            current.regionShift = tracker.region(0).meanShift;
            current.trimmedShift = regionTrimmedShifts(tracker.region(0).shiftList);
        }
        // The cascade fallback is off, as the schedule leaves it.
        current.haarIsNewer = current.haarFaceFound && !current.hogFaceFound;
        computeFacialMetrics(current, metrics, previous, previousMetrics, motion, previousMotion,
                             tracker.region(0).meanShift, tracker.region(2).meanShift,
                             MetricsInputs(), learning);
        pipelineMs.push_back(millisecondsSince(start));
        for (int v : {current.faceBox.left, current.faceBox.top, current.faceBox.right,
                      current.faceBox.bottom})
            fold(v);
        for (const cv::Point &p : current.landmarks.points) {
            fold(p.x);
            fold(p.y);
        }

        const Clock::time_point baselineStart = Clock::now();
        const std::vector<FaceBox> found = tracker.detectFaces(grey);
        if (!found.empty()) {
            const FaceShape shape = baselineModel(grey, found.front());
            (void)shape;
        }
        baselineMs.push_back(millisecondsSince(baselineStart));

        ++frames;
        if (current.faceFound)
            ++faces;
        previousSize = grey.size();
        beforePrevious = previous;
        previous = current;
        previousMetrics = metrics;
        previousMotion = motion;
    }
    if (frames == 0) {
        std::fprintf(stderr, "pipeline-bench: no frames\n");
        return 1;
    }

    std::printf("frames %d\n", frames);
    std::printf("faces %d\n", faces);
    std::printf("pipeline_ms_median %.2f\n", percentile(pipelineMs, 0.5));
    std::printf("pipeline_ms_p95 %.2f\n", percentile(pipelineMs, 0.95));
    std::printf("baseline_ms_median %.2f\n", percentile(baselineMs, 0.5));
    std::printf("landmarks_digest %016llx\n", (unsigned long long)digest);
    return 0;
}
