// The face tracker on the photos Debian's dlib ships: detection, the 68-point fit against the
// hand-placed landmarks, following a moving photo by optical flow, and frames that hold no
// face or have an unusual size.

#include "vision/FaceTracker.h"
#include "tests/vision/FacePhotos.h"
#include "vision/LandmarkModelFile.h"
#include "vision/TrimmedMean.h"
#include "vision/face_tracker_core.h"

#include <QDir>
#include <QFile>

#include <dlib/image_processing/shape_predictor.h>
#include <dlib/opencv/cv_image.h>
#include <dlib/serialize.h>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/objdetect.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <random>

void PrintTo(const FaceBox &box, std::ostream *out)
{
    *out << box.left << "," << box.top << " " << box.width() << "x" << box.height();
}

namespace {

// Three faces of 90 to 109 pixels; at 1.6 times they are webcam-sized.
const QString kGroupPhoto = QStringLiteral("2008_002506.jpg");
const QString kPortrait = QStringLiteral("Tom_Cruise_avp_2014_4.jpg");
const cv::Size kFrameSize(640, 480);
// The program's picture of a 16:9 camera at its default processing size.
const cv::Size kRoomSize(722, 406);

class FaceTrackerTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { tracker = new FaceTracker(programFile(QString())); }
    static void TearDownTestSuite()
    {
        delete tracker;
        tracker = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(tracker->isReady()) << qPrintable(tracker->errorString());
        tracker->setRegionOptions(0, false, false);
        tracker->setCascade(nullptr);
        // An empty frame leaves nothing to follow from: each test starts afresh.
        track(cv::Mat(), FaceBox(), FaceShape(), false);
    }

    struct Result
    {
        bool found = false;
        FaceBox detectorBox, faceBox;
        FaceShape shape;
    };
    static Result track(const cv::Mat &image, const FaceBox &searchBox,
                        const FaceShape &previousShape, bool runHog, bool allowHaar = false)
    {
        Result r;
        r.found = tracker->track(image, searchBox, previousShape, runHog, allowHaar, r.detectorBox,
                                 r.faceBox, r.shape);
        return r;
    }
    static FaceBox whole(const cv::Mat &image) { return {0, 0, image.cols - 1, image.rows - 1}; }

    // A portrait with one large face, fitted into a webcam frame.
    static cv::Mat portraitFrame()
    {
        static const cv::Mat photo = greyPhoto(kPortrait);
        const double scale = double(kFrameSize.height) / photo.rows;
        cv::Mat m = (cv::Mat_<double>(2, 3) << scale, 0,
                     (kFrameSize.width - photo.cols * scale) / 2, 0, scale, 0);
        cv::Mat frame;
        cv::warpAffine(photo, frame, m, kFrameSize, cv::INTER_LINEAR, cv::BORDER_REPLICATE);
        return frame;
    }

    // The group photo enlarged into a webcam frame centred on its middle face, moved by
    // `shift` pixels.
    static cv::Mat groupFrame(cv::Point2d shift = {})
    {
        static const cv::Mat photo = greyPhoto(kGroupPhoto);
        cv::Mat m = (cv::Mat_<double>(2, 3) << 1.6, 0, -110 + shift.x, 0, 1.6, 16 + shift.y);
        cv::Mat frame;
        cv::warpAffine(photo, frame, m, kFrameSize, cv::INTER_LINEAR, cv::BORDER_REPLICATE);
        return frame;
    }

    // One of the labelled faces, `width` pixels wide and centred at `at`, over a room without
    // anyone; the photo is cut to the face and its surroundings, so that it is the only face.
    static cv::Mat faceInRoom(const LabelledFace &face, double width, cv::Point2d at)
    {
        static const cv::Mat room = [] {
            cv::Mat image = cv::imread(QDir(QStringLiteral(TOVRA_FACE_PHOTOS))
                                           .filePath("../video_frames/frame_000101.jpg")
                                           .toStdString(),
                                       cv::IMREAD_GRAYSCALE);
            if (!image.empty())
                cv::resize(image, image, kRoomSize);
            return image;
        }();
        const cv::Mat photo = greyPhoto(face.file);
        if (room.empty() || photo.empty())
            return cv::Mat();
        const int w = face.box.width(), h = face.box.height();
        const cv::Rect around =
            cv::Rect(face.box.left - w / 2, face.box.top - h / 2, 2 * w, 2 * h) &
            cv::Rect(0, 0, photo.cols, photo.rows);
        const double k = width / std::max(1, w);
        const cv::Point2d centre((face.box.left + face.box.right) / 2.0 - around.x,
                                 (face.box.top + face.box.bottom) / 2.0 - around.y);
        const cv::Mat place =
            (cv::Mat_<double>(2, 3) << k, 0, at.x - centre.x * k, 0, k, at.y - centre.y * k);
        cv::Mat frame = room.clone();
        cv::warpAffine(photo(around), frame, place, kRoomSize, cv::INTER_AREA,
                       cv::BORDER_TRANSPARENT);
        return frame;
    }

    static FaceTracker *tracker;
};

FaceTracker *FaceTrackerTest::tracker = nullptr;

double meanPointDistance(const std::vector<cv::Point> &a, const std::vector<cv::Point> &b)
{
    double sum = 0.0;
    for (size_t i = 0; i < a.size(); ++i)
        sum += std::hypot(double(a[i].x - b[i].x), double(a[i].y - b[i].y));
    return sum / double(a.size());
}

TEST_F(FaceTrackerTest, FitsTheHandPlacedLandmarksOfTheTestPhotos)
{
    const std::vector<LabelledFace> faces = labelledFaces("testing_with_face_landmarks.xml");
    ASSERT_EQ(faces.size(), 25u);
    // As they are, and enlarged twice so that the small faces reach the detector's size.
    for (const auto &[scale, atLeast] : {std::pair{1.0, 5}, std::pair{2.0, 20}}) {
        int found = 0;
        double errorSum = 0.0;
        for (const LabelledFace &face : faces) {
            const cv::Mat image = greyPhoto(face.file, scale);
            ASSERT_FALSE(image.empty()) << qPrintable(face.file);
            const FaceBox box{int(face.box.left * scale), int(face.box.top * scale),
                              int(face.box.right * scale), int(face.box.bottom * scale)};
            const Result r = track(image, box, FaceShape(), true);
            if (!tracker->hogFaceFound())
                continue;
            ASSERT_TRUE(r.found);
            ASSERT_TRUE(r.shape.isComplete());
            double distanceSum = 0.0;
            for (size_t i = 0; i < 68; ++i)
                distanceSum += std::hypot(r.shape.points[i].x / scale - face.points[i].x,
                                          r.shape.points[i].y / scale - face.points[i].y);
            // Normalised by the distance between the outer eye corners.
            const cv::Point eyes = face.points[36] - face.points[45];
            const double error = distanceSum / 68.0 / std::hypot(eyes.x, eyes.y);
            EXPECT_LT(error, 0.05) << qPrintable(face.file) << " at scale " << scale;
            errorSum += error;
            ++found;
        }
        EXPECT_GE(found, atLeast) << "scale " << scale;
        EXPECT_LT(errorSum / std::max(found, 1), 0.05);
    }
}

TEST_F(FaceTrackerTest, EvaluatesTheJoinedModelExactlyAsDlibDoes)
{
    face_tracker_core joined;
    QString error;
    ASSERT_TRUE(loadLandmarkModel(joined, programFile(QString()), &error)) << qPrintable(error);
    dlib::shape_predictor reference;
    dlib::deserialize(TOVRA_LANDMARK_MODEL_PATH) >> reference;

    int compared = 0;
    for (const LabelledFace &face : labelledFaces("testing_with_face_landmarks.xml")) {
        const cv::Mat image = greyPhoto(face.file);
        const FaceShape ours = joined(image, face.box);
        const dlib::full_object_detection theirs = reference(
            dlib::cv_image<unsigned char>(image),
            dlib::rectangle(face.box.left, face.box.top, face.box.right, face.box.bottom));
        ASSERT_TRUE(ours.isComplete());
        ASSERT_EQ(theirs.num_parts(), 68u);
        for (unsigned long i = 0; i < 68; ++i) {
            EXPECT_EQ(ours.points[i].x, theirs.part(i).x()) << qPrintable(face.file) << " " << i;
            EXPECT_EQ(ours.points[i].y, theirs.part(i).y()) << qPrintable(face.file) << " " << i;
        }
        ++compared;
    }
    EXPECT_EQ(compared, 25);
    EXPECT_TRUE(joined(greyPhoto(kGroupPhoto), FaceBox()).points.empty());
}

// The fit turns its feature offsets by the least-squares similarity from the model's initial
// shape to the current one, worked out without dlib's SVD: the same as dlib's on random shapes,
// turned, scaled, shifted, noisy, mirrored.
TEST(LandmarkFitSimilarity, IsDlibsOnRandomShapes)
{
    face_tracker_core model;
    QString error;
    ASSERT_TRUE(loadLandmarkModel(model, programFile(QString()), &error)) << qPrintable(error);
    std::ifstream file(TOVRA_LANDMARK_MODEL_PATH, std::ios::binary);
    int version = 0;
    dlib::matrix<float, 0, 1> initial;
    dlib::deserialize(version, file);
    dlib::deserialize(initial, file);
    ASSERT_EQ(initial.size(), 136);
    std::vector<dlib::vector<float, 2>> from, to;
    for (long i = 0; i < 68; ++i)
        from.emplace_back(initial(2 * i), initial(2 * i + 1));

    std::mt19937 rng(83);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int c = 0; c < 500; ++c) {
        const double scale = 0.05 + 3.0 * unit(rng), angle = 6.3 * unit(rng);
        const double noise = c % 5 == 0 ? 0.0 : 0.3 * unit(rng);
        const bool mirrored = c % 4 == 1;
        dlib::matrix<float, 0, 1> current(136);
        to.clear();
        for (long i = 0; i < 68; ++i) {
            const double x = (mirrored ? -1.0 : 1.0) * initial(2 * i), y = initial(2 * i + 1);
            current(2 * i) = float(scale * (std::cos(angle) * x - std::sin(angle) * y) + 5.0 +
                                   noise * (unit(rng) - 0.5));
            current(2 * i + 1) = float(scale * (std::sin(angle) * x + std::cos(angle) * y) - 2.0 +
                                       noise * (unit(rng) - 0.5));
            to.emplace_back(current(2 * i), current(2 * i + 1));
        }
        const dlib::matrix<float, 2, 2> ours = model.similarityToInitial(current);
        const dlib::matrix<float, 2, 2> dlibs =
            dlib::matrix_cast<float>(dlib::find_similarity_transform(from, to).get_m());
        for (long r = 0; r < 2; ++r)
            for (long k = 0; k < 2; ++k)
                ASSERT_NEAR(ours(r, k), dlibs(r, k), 2e-6 * (1.0 + scale))
                    << "case " << c << (mirrored ? ", mirrored" : "");
    }
}

// Frame 0 is detected; the next frames run no detector and are followed by optical flow.
void expectFollowed(FaceTracker &tracker, const cv::Mat &first,
                    const std::function<cv::Mat(int)> &frameAt, cv::Point2d step, int frames)
{
    FaceBox detectorBox, faceBox;
    FaceShape shape;
    ASSERT_TRUE(tracker.track(first, {0, 0, first.cols - 1, first.rows - 1}, FaceShape(), true,
                              false, detectorBox, faceBox, shape));
    const FaceBox start = faceBox;
    const cv::Point startNose = shape.points[30];
    for (int k = 1; k <= frames; ++k) {
        const FaceBox previousBox = faceBox;
        const FaceShape previousShape = shape;
        const cv::Point2d carriedBefore = tracker.region(0).carriedFraction;
        ASSERT_TRUE(tracker.track(frameAt(k), previousBox, previousShape, false, false, detectorBox,
                                  faceBox, shape))
            << "frame " << k;
        EXPECT_TRUE(detectorBox.isEmpty());
        EXPECT_FALSE(tracker.hogFaceFound());
        ASSERT_TRUE(shape.isComplete());

        // The trimmed means recover the motion within a fraction of a pixel.
        const FeatureRegionTracker &mid = tracker.region(0);
        ASSERT_GE(mid.shiftList.size(), 6u);
        const auto trimmed = regionTrimmedShifts(mid.shiftList);
        for (const cv::Point2d &mean : {mid.meanShift, trimmed[FrameDetection::DropLongest75],
                                        trimmed[FrameDetection::DropShortest10Longest65]}) {
            EXPECT_NEAR(mean.x, step.x, 0.25) << "frame " << k;
            EXPECT_NEAR(mean.y, step.y, 0.25) << "frame " << k;
        }
        // The box moves by the whole pixels of the mean shift plus the carried fraction.
        const cv::Point2d whole = mid.meanShift + carriedBefore - mid.carriedFraction;
        EXPECT_EQ(faceBox.left - previousBox.left, int(std::lround(whole.x))) << "frame " << k;
        EXPECT_EQ(faceBox.top - previousBox.top, int(std::lround(whole.y))) << "frame " << k;
        EXPECT_EQ(faceBox.width(), previousBox.width());
        EXPECT_EQ(faceBox.height(), previousBox.height());
    }
    // Over the clip the box and the landmarks stay with the face.
    EXPECT_NEAR(faceBox.left - start.left, step.x * frames, 1.0);
    EXPECT_NEAR(faceBox.top - start.top, step.y * frames, 1.0);
    EXPECT_NEAR(shape.points[30].x - startNose.x, step.x * frames, 3.0);
    EXPECT_NEAR(shape.points[30].y - startNose.y, step.y * frames, 3.0);
}

TEST_F(FaceTrackerTest, FollowsAPhotoShiftedByWholePixelsEachFrame)
{
    const cv::Point2d step(3, 2);
    expectFollowed(
        *tracker, groupFrame(), [&](int k) { return groupFrame(step * k); }, step, 10);
}

TEST_F(FaceTrackerTest, FollowsAPhotoShiftedByFractionsCarryingTheRemainder)
{
    const cv::Point2d step(1.5, -0.75);
    expectFollowed(
        *tracker, groupFrame(), [&](int k) { return groupFrame(step * k); }, step, 10);
}

// The detector finds a still face a few pixels or a cell apart from one search window to the
// next, and every new box would refit the lips and brows: a still face keeps one box over its
// searches. A face that moved by less than a cell, or came one scale nearer, takes the
// detector's box.
TEST_F(FaceTrackerTest, AStillFaceKeepsOneBoxAndAMovedOrRescaledOneTakesTheDetectorsBox)
{
    const std::vector<LabelledFace> faces = labelledFaces("testing_with_face_landmarks.xml");
    ASSERT_FALSE(faces.empty());
    std::mt19937 random(35);
    int seen = 0, steadied = 0, rescaled = 0;
    for (int i = 0; i < 10; ++i) {
        const LabelledFace &face = faces[random() % faces.size()];
        const double width = 80 + random() % 121;
        const cv::Point2d at(width + random() % int(kRoomSize.width - 2 * width),
                             kRoomSize.height / 2 + int(random() % 41) - 20);
        const cv::Mat still = faceInRoom(face, width, at);
        track(cv::Mat(), FaceBox(), FaceShape(), false);
        Result r = track(still, whole(still), FaceShape(), true);
        if (!r.found)
            continue;
        ++seen;
        EXPECT_EQ(r.faceBox, r.detectorBox) << "a whole-image search follows nothing";
        const QString what = QStringLiteral("%1 at %2 px").arg(face.file).arg(width);
        // A search now and then, the flow following the face in between. The scale a window
        // finds may differ from the whole image's: the box settles within two searches.
        std::vector<FaceBox> boxes;
        for (int search = 0; search < 6; ++search) {
            r = track(still, r.faceBox, r.shape, false);
            r = track(still, r.faceBox, r.shape, true);
            ASSERT_TRUE(r.found && tracker->hogFaceFound()) << qPrintable(what);
            steadied += r.detectorBox != r.faceBox;
            boxes.push_back(r.faceBox);
        }
        for (size_t k = 3; k < boxes.size(); ++k)
            EXPECT_EQ(boxes[k], boxes[2]) << qPrintable(what) << " search " << k;

        // Moved by a few pixels over three frames.
        const cv::Point2d step(1 + random() % 3, int(random() % 3) - 1);
        cv::Mat moved;
        for (int k = 1; k <= 3; ++k) {
            moved = faceInRoom(face, width, at + step * k);
            r = track(moved, r.faceBox, r.shape, false);
        }
        const FaceBox carried = r.faceBox;
        r = track(moved, r.faceBox, r.shape, true);
        if (tracker->hogFaceFound()) {
            EXPECT_EQ(r.faceBox, r.detectorBox)
                << qPrintable(what) << " moved from " << ::testing::PrintToString(carried);
        }

        // Where it is, a fifth nearer: found at the next scale, it takes that box.
        const cv::Mat nearer = faceInRoom(face, width * 1.2, at + step * 3);
        const Result after = track(nearer, r.faceBox, r.shape, true);
        if (tracker->hogFaceFound() &&
            std::abs(after.detectorBox.width() - r.faceBox.width()) > r.faceBox.width() / 20) {
            ++rescaled;
            EXPECT_EQ(after.faceBox, after.detectorBox) << qPrintable(what);
        }
    }
    EXPECT_GE(seen, 8);
    // The still faces were found apart from their boxes, and nearer faces at another scale.
    EXPECT_GE(steadied, 10);
    EXPECT_GE(rescaled, 3);
}

TEST_F(FaceTrackerTest, AFrameWithoutAFaceFindsNone)
{
    cv::Mat noise(kFrameSize, CV_8UC1);
    cv::randu(noise, 0, 255);
    for (const cv::Mat &image : {cv::Mat(kFrameSize, CV_8UC1, cv::Scalar(128)), noise}) {
        const Result r = track(image, whole(image), FaceShape(), true);
        EXPECT_FALSE(r.found);
        EXPECT_FALSE(tracker->hogFaceFound());
        EXPECT_TRUE(r.detectorBox.isEmpty());
        EXPECT_TRUE(r.faceBox.isEmpty());
        EXPECT_TRUE(r.shape.points.empty());
    }
}

// Faces of every size over a room without anyone, searched with and without the quick search
// first: the result is the full search's whenever the quick search lets it run. The quick
// search stops only where the full search finds nothing or a small face, and never for a face
// of about the size last seen (the same face seen elsewhere, up to a tenth nearer or farther).
TEST_F(FaceTrackerTest, AQuickSearchFirstFindsWhatTheFullSearchFindsButSmallFacesOfOtherSizes)
{
    const std::vector<LabelledFace> faces = labelledFaces("testing_with_face_landmarks.xml");
    ASSERT_FALSE(faces.empty());
    const int limit = FaceTracker::largeFaceWidth(kRoomSize);
    ASSERT_GT(limit, 80);
    ASSERT_LT(limit, kRoomSize.height / 3);
    const auto fullSearch = [&](const cv::Mat &frame) {
        track(cv::Mat(), FaceBox(), FaceShape(), false);
        tracker->setLargeFacesFirst(false);
        return track(frame, whole(frame), FaceShape(), true);
    };
    const auto quickSearch = [&](const cv::Mat &frame, int lastWidth) {
        track(cv::Mat(), FaceBox(), FaceShape(), false);
        tracker->setLargeFacesFirst(true, lastWidth);
        const Result r = track(frame, whole(frame), FaceShape(), true);
        tracker->setLargeFacesFirst(false);
        return r;
    };

    std::mt19937 random(27);
    int large = 0, small = 0, sameSize = 0;
    for (int i = 0; i < 24; ++i) {
        const LabelledFace &face = faces[random() % faces.size()];
        // 60 to 110 or 120 to 260 pixels wide, somewhere in the room.
        const double width = i % 3 ? 60 + random() % 51 : 120 + random() % 141;
        const auto somewhere = [&](double w) {
            return cv::Point2d(w + random() % int(kRoomSize.width - 2 * w),
                               kRoomSize.height / 2 + int(random() % 61) - 30);
        };
        const cv::Mat frame = faceInRoom(face, width, somewhere(width));
        ASSERT_FALSE(frame.empty());
        const QString what = QStringLiteral("%1 at %2 px").arg(face.file).arg(width);
        const Result full = fullSearch(frame);
        const auto expectFull = [&](const Result &quick, const char *how) {
            EXPECT_EQ(quick.found, full.found) << qPrintable(what) << how;
            EXPECT_EQ(quick.detectorBox, full.detectorBox) << qPrintable(what) << how;
            EXPECT_EQ(quick.faceBox, full.faceBox) << qPrintable(what) << how;
            EXPECT_EQ(quick.shape.points, full.shape.points) << qPrintable(what) << how;
        };

        const Result first = quickSearch(frame, 0);
        if (tracker->searchedLargeFacesOnly()) {
            EXPECT_FALSE(first.found) << qPrintable(what);
            EXPECT_TRUE(!full.found || full.detectorBox.width() < limit)
                << qPrintable(what) << " " << full.detectorBox.width();
            small += full.found;
        } else {
            expectFull(first, "");
            large += full.found;
        }

        // The same face seen before at another place and a size a tenth apart at most.
        const double before = width * (0.9 + 0.2 * (random() % 101) / 100.0);
        const Result seen = fullSearch(faceInRoom(face, before, somewhere(before)));
        if (!full.found || !seen.found)
            continue;
        const Result again = quickSearch(frame, seen.detectorBox.width());
        EXPECT_FALSE(tracker->searchedLargeFacesOnly())
            << qPrintable(what) << ", seen " << seen.detectorBox.width() << " px wide";
        expectFull(again, " after the same size");
        sameSize += full.detectorBox.width() < limit;
    }
    // Every kind came up.
    EXPECT_GE(large, 6);
    EXPECT_GE(small, 6);
    EXPECT_GE(sameSize, 10);
}

TEST_F(FaceTrackerTest, WithoutDetectorsOnlyAFaceSeenBeforeIsFollowed)
{
    const cv::Mat frame = groupFrame();
    // No detector and no previous face: nothing.
    EXPECT_FALSE(track(frame, FaceBox(), FaceShape(), false).found);
    EXPECT_FALSE(track(frame, whole(frame), FaceShape(), false).found);
    // A fresh search over the whole image that finds nothing carries no face either.
    EXPECT_FALSE(track(groupFrame({2, 0}), whole(frame), FaceShape(), false).found);
}

TEST_F(FaceTrackerTest, FramesOfUnusualSizeAreHandled)
{
    cv::CascadeClassifier cascade;
    ASSERT_TRUE(cascade.load(QFile::encodeName(programFile("hfd.xml")).toStdString()));
    tracker->setCascade(&cascade);
    const Result face = track(groupFrame(), whole(groupFrame()), FaceShape(), true);
    ASSERT_TRUE(face.found);
    const cv::Mat odd[] = {cv::Mat(),
                           cv::Mat(1, 1, CV_8UC1, cv::Scalar(9)),
                           cv::Mat(3, 641, CV_8UC1, cv::Scalar(9)),
                           cv::Mat(480, 1, CV_8UC1, cv::Scalar(9)),
                           cv::Mat(20, 20, CV_8UC1, cv::Scalar(9)),
                           cv::Mat(480, 640, CV_8UC3, cv::Scalar(9, 9, 9))};
    for (const cv::Mat &image : odd) {
        // The previous face box lies outside most of these images.
        Result r;
        EXPECT_NO_THROW(r = track(image, face.faceBox, face.shape, true, false));
        EXPECT_FALSE(r.found) << image.cols << "x" << image.rows;
        EXPECT_NO_THROW(r = track(image, face.faceBox, face.shape, false, false));
        EXPECT_FALSE(r.found);
        EXPECT_NO_THROW(r = track(image, whole(image), FaceShape(), true, true));
        EXPECT_FALSE(r.found);
    }

    // A change of size between two frames with a face starts the regions afresh.
    ASSERT_TRUE(track(groupFrame(), whole(groupFrame()), FaceShape(), true).found);
    ASSERT_TRUE(track(groupFrame({1, 0}), face.faceBox, face.shape, false).found);
    EXPECT_FALSE(tracker->region(0).previousPoints.empty());
    cv::Mat larger;
    cv::resize(groupFrame(), larger, cv::Size(800, 600));
    const Result resized = track(larger, face.faceBox, face.shape, true);
    EXPECT_TRUE(resized.found);
    EXPECT_TRUE(tracker->region(0).previousPoints.empty());
    EXPECT_TRUE(tracker->region(0).shiftList.empty());
}

TEST_F(FaceTrackerTest, TheSearchWindowStaysInsideTheImage)
{
    const cv::Mat frame = groupFrame();
    track(frame, {-20, -10, 99, 109}, FaceShape(), true);
    // 10 % of 120 wider on each side, then clipped.
    EXPECT_EQ(tracker->searchWindow(), cv::Rect(0, 0, 112, 122));
    track(frame, {560, 400, 639, 479}, FaceShape(), true);
    EXPECT_EQ(tracker->searchWindow(), cv::Rect(552, 392, 88, 88));
    track(frame, FaceBox(), FaceShape(), true);
    EXPECT_EQ(tracker->searchWindow(), cv::Rect(0, 0, 640, 480));
}

TEST_F(FaceTrackerTest, AFitAfterABigHeadMoveStillReachesTheChin)
{
    const cv::Mat frame = groupFrame();
    const Result plain = track(frame, whole(frame), FaceShape(), true);
    ASSERT_TRUE(plain.found);
    // The previous shape sits far above: its chin row lies above the new face's top.
    FaceShape above = plain.shape;
    translateShape(above, 0, -plain.faceBox.bottom - 50);
    const Result moved = track(frame, whole(frame), above, true);
    ASSERT_TRUE(moved.found);
    ASSERT_TRUE(moved.shape.isComplete());
    EXPECT_EQ(moved.faceBox, plain.faceBox);
    EXPECT_LT(meanPointDistance(moved.shape.points, plain.shape.points), 1.0);
}

TEST_F(FaceTrackerTest, TheCascadeFindsTheFaceWhenItMayRunAlone)
{
    cv::CascadeClassifier cascade;
    ASSERT_TRUE(cascade.load(QFile::encodeName(programFile("hfd.xml")).toStdString()));
    tracker->setCascade(&cascade);
    const cv::Mat frame = portraitFrame();
    const Result haar = track(frame, whole(frame), FaceShape(), false, true);
    ASSERT_TRUE(haar.found);
    EXPECT_TRUE(tracker->haarFaceFound());
    EXPECT_FALSE(tracker->hogFaceFound());
    EXPECT_EQ(haar.detectorBox, haar.faceBox);
    ASSERT_TRUE(haar.shape.isComplete());

    // It does not run when the HOG detector found the face.
    const Result hog = track(frame, whole(frame), FaceShape(), true, true);
    ASSERT_TRUE(hog.found);
    EXPECT_TRUE(tracker->hogFaceFound());
    EXPECT_FALSE(tracker->haarFaceFound());
    // Both find the same face, and the landmarks fitted in either box agree.
    const cv::Rect haarRect(haar.faceBox.left, haar.faceBox.top, haar.faceBox.width(),
                            haar.faceBox.height());
    for (int i : {30, 36, 45, 48, 54})
        EXPECT_TRUE(haarRect.contains(hog.shape.points[i])) << i;
    EXPECT_LT(meanPointDistance(haar.shape.points, hog.shape.points), 0.1 * hog.faceBox.width());
}

TEST_F(FaceTrackerTest, ChinAndForeheadRegionsFollowOnlyWhileTheirGesturesAreOn)
{
    tracker->setRegionOptions(0, true, true);
    Result r = track(groupFrame(), whole(groupFrame()), FaceShape(), true);
    ASSERT_TRUE(r.found);
    // With this frame's landmarks known, the chin keeps points below the lower lip and the
    // forehead points above the brows.
    r = track(groupFrame({1, 1}), r.faceBox, r.shape, true);
    ASSERT_TRUE(r.found);
    const FeatureRegionTracker &chin = tracker->region(1);
    const FeatureRegionTracker &forehead = tracker->region(2);
    ASSERT_FALSE(chin.previousPoints.empty());
    ASSERT_FALSE(forehead.previousPoints.empty());
    for (const cv::Point2f &p : chin.previousPoints)
        EXPECT_GE(p.y, r.shape.points[57].y);
    for (const cv::Point2f &p : forehead.previousPoints)
        EXPECT_LE(std::lround(p.y), std::max(r.shape.points[19].y, r.shape.points[24].y));

    tracker->setRegionOptions(0, false, false);
    r = track(groupFrame({2, 2}), r.faceBox, r.shape, false);
    EXPECT_TRUE(chin.previousPoints.empty());
    EXPECT_TRUE(forehead.previousPoints.empty());
}

TEST_F(FaceTrackerTest, ARegionIsReseededOnlyWhenItRunsShortOfFeatures)
{
    Result r = track(groupFrame(), whole(groupFrame()), FaceShape(), true);
    r = track(groupFrame({1, 0}), r.faceBox, r.shape, false);
    ASSERT_GE(tracker->region(0).previousPoints.size(), 6u);
    r = track(groupFrame({2, 0}), r.faceBox, r.shape, false);
    // Enough features were left: no new seeding rectangle this frame.
    EXPECT_TRUE(tracker->region(0).maskRect.empty());

    // Asking for more features than the region holds seeds it again on every frame.
    tracker->setRegionOptions(200, false, false);
    r = track(groupFrame({3, 0}), r.faceBox, r.shape, false);
    EXPECT_FALSE(tracker->region(0).maskRect.empty());
    const int x = r.faceBox.left + int(0.35 * r.faceBox.width());
    EXPECT_NEAR(tracker->region(0).maskRect.x, x, 4);
}

TEST_F(FaceTrackerTest, OverlayColoursTellHowTheFaceIsFollowed)
{
    const cv::Vec3b green(0, 255, 0), purple(126, 0, 126), red(0, 0, 255);
    const auto colourAtBrow = [](const cv::Mat &image, const FaceShape &shape) {
        return image.at<cv::Vec3b>(shape.points[17]);
    };
    const Result detected = track(groupFrame(), whole(groupFrame()), FaceShape(), true);
    ASSERT_TRUE(detected.found && tracker->hogFaceFound());
    cv::Mat preview(kFrameSize, CV_8UC3, cv::Scalar(0, 0, 0));
    // Green while the HOG detector found the face, even with moving lips.
    tracker->drawOverlay(preview, detected.faceBox, detected.shape, true, 5.0, 5.0);
    EXPECT_EQ(colourAtBrow(preview, detected.shape), green);

    const Result followed = track(groupFrame({1, 0}), detected.faceBox, detected.shape, false);
    ASSERT_TRUE(followed.found);
    ASSERT_FALSE(tracker->hogFaceFound());
    tracker->drawOverlay(preview, followed.faceBox, followed.shape, true, 0.0, 0.0);
    EXPECT_EQ(colourAtBrow(preview, followed.shape), purple);
    tracker->drawOverlay(preview, followed.faceBox, followed.shape, false, 0.0, 2.5);
    EXPECT_EQ(colourAtBrow(preview, followed.shape), red);
    tracker->drawOverlay(preview, followed.faceBox, followed.shape, false, 2.0, 2.0);
    EXPECT_EQ(colourAtBrow(preview, followed.shape), green);

    cv::Mat untouched(kFrameSize, CV_8UC3, cv::Scalar(0, 0, 0));
    FaceShape partial = followed.shape;
    partial.points.resize(67);
    tracker->drawOverlay(untouched, followed.faceBox, partial, false, 0.0, 0.0);
    EXPECT_EQ(cv::countNonZero(untouched.reshape(1)), 0);
}

} // namespace
