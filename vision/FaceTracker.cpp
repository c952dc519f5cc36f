#include "vision/FaceTracker.h"

#include "vision/FhogFilter.h"
#include "vision/LandmarkModelFile.h"
#include "vision/LandmarkSegment.h"

#include <QCoreApplication>

#include <dlib/image_processing/frontal_face_detector.h>
#include <dlib/opencv/cv_image.h>

#include <opencv2/imgproc.hpp>
#include <opencv2/objdetect.hpp>
#include <opencv2/video/tracking.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>

struct FaceTracker::Detector
{
    using Scanner = dlib::frontal_face_detector::image_scanner_type;

    dlib::frontal_face_detector hog = dlib::get_frontal_face_detector();
    // The same detector over the first one, two or three scales of its pyramid only.
    std::array<dlib::frontal_face_detector, 3> fewScales;

    Detector()
    {
        std::vector<dlib::frontal_face_detector::feature_vector_type> weights;
        for (unsigned long i = 0; i < hog.num_detectors(); ++i)
            weights.push_back(hog.get_w(i));
        for (unsigned long levels = 1; levels <= fewScales.size(); ++levels) {
            Scanner scanner;
            scanner.copy_configuration(hog.get_scanner());
            scanner.set_max_pyramid_levels(levels);
            fewScales[levels - 1] =
                dlib::frontal_face_detector(scanner, hog.get_overlap_tester(), weights);
        }
    }
};

namespace {

// The cascade's built-in settings.
constexpr double kHaarScaleFactor = 1.062;
constexpr int kHaarMinNeighbors = 2;
constexpr double kHaarBoxMarginPct = 20.0;
// Tracked points whose patch differs more than this are dropped.
constexpr float kMaxFlowError = 15.0f;
// The HOG detector's image pyramid shrinks each level to 5/6; a search from a level on finds
// faces down to about kLevelFaceWidth x (6/5)^level pixels wide (its 80-pixel window, with
// some slack), and all of them from 10 % wider on.
constexpr double kLevelScale = 6.0 / 5.0;
constexpr double kLevelFaceWidth = 60.0;
constexpr double kSureFaceWidth = 66.0;
// A user at a webcam fills more than this share of the picture's smaller side.
constexpr double kLargeFaceShare = 0.26;
// The detector's boxes are 73 pixels wide at the pyramid's first level, 6/5 wider at each next.
constexpr double kLevelBoxWidth = 73.0;

// The first pyramid level hasLargeFace() searches in an image of `size`.
int largeFaceLevel(cv::Size size)
{
    const double wanted = kLargeFaceShare * std::min(size.width, size.height);
    if (wanted <= kLevelFaceWidth)
        return 0;
    return int(std::floor(std::log(wanted / kLevelFaceWidth) / std::log(kLevelScale)));
}

// The pyramid level at which the detector boxes a face `width` pixels wide.
int boxLevel(int width)
{
    return std::max(0, int(std::lround(std::log(width / kLevelBoxWidth) / std::log(kLevelScale))));
}

cv::Rect wholeImage(const cv::Mat &image)
{
    return {0, 0, image.cols, image.rows};
}

// Clips a box to the image; the result may be empty.
FaceBox clippedToImage(FaceBox box, const cv::Mat &image)
{
    box.left = std::max(box.left, 0);
    box.top = std::max(box.top, 0);
    box.right = std::min(box.right, image.cols - 1);
    box.bottom = std::min(box.bottom, image.rows - 1);
    return box;
}

template<typename Box>
size_t largestFirst(const std::vector<Box> &boxes, qint64 (*area)(const Box &))
{
    size_t best = 0;
    for (size_t i = 1; i < boxes.size(); ++i) {
        if (area(boxes[i]) > area(boxes[best]))
            best = i;
    }
    return best;
}

qint64 faceBoxArea(const FaceBox &box)
{
    return box.area();
}

qint64 rectArea(const cv::Rect &rect)
{
    return qint64(rect.width) * rect.height;
}

// Whether each side of `a` lies within `tolerance` pixels of the same side of `b`.
bool sidesWithin(const FaceBox &a, const FaceBox &b, int tolerance)
{
    return std::abs(a.left - b.left) <= tolerance && std::abs(a.top - b.top) <= tolerance &&
           std::abs(a.right - b.right) <= tolerance && std::abs(a.bottom - b.bottom) <= tolerance;
}

// The detector places its box on a grid of cells (8 of the 73 pixels of its smallest box, so
// about a ninth of the box's width at every scale), and where the grid falls depends on the
// search window: a still face is found a few pixels or a whole cell apart from one search to
// the next. Each new box refits the landmarks, and the refit moves the lips and brows as much
// as a small gesture would. A face is still when the optical flow has not moved its box since
// the last search placed it (a pixel of drift aside); found again within a cell of that box
// and at the same scale (the detector's scales are a fifth apart), it is the same face where
// it was and keeps its box. A face that moved, or came nearer or went farther, takes the
// detector's box.
FaceBox steadyBox(const FaceBox &found, const FaceBox &followed, const FaceBox &placed)
{
    if (followed.isEmpty() || placed.isEmpty() || !sidesWithin(followed, placed, 1))
        return found;
    const int cell = std::max(2, followed.width() / 9);
    const int scaleStep = std::max(2, followed.width() / 20);
    const bool sameScale = std::abs(found.width() - followed.width()) <= scaleStep &&
                           std::abs(found.height() - followed.height()) <= scaleStep;
    return sameScale && sidesWithin(found, followed, cell) ? followed : found;
}

} // namespace

FaceTracker::FaceTracker(const QString &modelFolder)
{
    ready = loadModels(modelFolder);
}

FaceTracker::~FaceTracker() = default;

bool FaceTracker::loadModels(const QString &modelFolder)
{
    const QString advice = QCoreApplication::translate(
        "FaceTracker", "Tovra Mouse cannot follow your face without it. Please reinstall "
                       "Tovra Mouse.");
    try {
        detector = std::make_unique<Detector>();
        QString detail;
        if (!loadLandmarkModel(model, modelFolder, &detail)) {
            error = detail + QLatin1Char(' ') + advice;
            return false;
        }
        return true;
    } catch (const std::exception &e) {
        // Out of memory while building the detector or reading the model.
        error = QCoreApplication::translate("FaceTracker",
                                            "The face detector could not be set up (%1).")
                    .arg(QString::fromLocal8Bit(e.what())) +
                QLatin1Char(' ') + advice;
        detector.reset();
        return false;
    }
}

void FaceTracker::setRegionOptions(int additionalEtsys, bool mouthOpenDetection,
                                   bool eyebrowRaiseDetection)
{
    extraFeatures = std::max(0, additionalEtsys);
    followChin = mouthOpenDetection;
    followForehead = eyebrowRaiseDetection;
}

std::vector<FaceBox> FaceTracker::detectFaces(const cv::Mat &image)
{
    std::vector<FaceBox> faces;
    if (!detector || image.empty() || image.type() != CV_8UC1)
        return faces;
    const dlib::cv_image<unsigned char> img(image);
    for (const dlib::rectangle &r : detector->hog(img, 0.0))
        faces.push_back({int(r.left()), int(r.top()), int(r.right()), int(r.bottom())});
    return faces;
}

bool FaceTracker::hasLargeFace(const cv::Mat &image, int lastFaceWidth)
{
    if (!detector || image.empty() || image.type() != CV_8UC1)
        return false;
    const int large = largeFaceLevel(image.size());
    if (large == 0)
        return !detectFaces(image).empty();
    // The level of the last face seen and one either side, those below the large faces'.
    const int level = lastFaceWidth > 0 ? boxLevel(lastFaceWidth) : -2;
    const int first = std::max(0, level - 1), last = std::min(level + 1, large - 1);
    // The detector's own pyramid: the same shrinking, from the same pixels.
    const auto fewScalesFind = [&](const auto &levelImage) {
        return !detector->fewScales[size_t(last - first)](levelImage, 0.0).empty();
    };
    const dlib::cv_image<unsigned char> img(image);
    if (first == 0 && first <= last && fewScalesFind(img))
        return true;
    dlib::pyramid_down<6> down;
    dlib::array2d<unsigned char> smaller, scratch;
    down(img, smaller);
    for (int i = 1; i < large; ++i) {
        if (i == first && first <= last && fewScalesFind(smaller))
            return true;
        down(smaller, scratch);
        dlib::swap(smaller, scratch);
    }
    return !detector->hog(smaller, 0.0).empty();
}

int FaceTracker::largeFaceWidth(cv::Size size)
{
    const int level = largeFaceLevel(size);
    return level == 0 ? 0 : int(std::ceil(kSureFaceWidth * std::pow(kLevelScale, level)));
}

bool FaceTracker::detectWithCascade(const cv::Mat &crop, FaceBox &box)
{
    std::vector<cv::Rect> objects;
    const int minSide = int(0.16 * frameImage.cols);
    const int maxSide = int(0.9 * frameImage.rows);
    cascade->detectMultiScale(crop, objects, kHaarScaleFactor, kHaarMinNeighbors,
                              cv::CASCADE_FIND_BIGGEST_OBJECT, cv::Size(minSide, minSide),
                              cv::Size(maxSide, maxSide));
    if (objects.empty())
        return false;
    // Current cascade files ignore the biggest-object flag: pick it here.
    const cv::Rect r = objects[largestFirst(objects, rectArea)];
    const double half = kHaarBoxMarginPct / 200.0;
    box.left = std::max(0, r.x - int(half * r.width));
    box.top = std::max(0, r.y - int(half * r.height));
    box.right = std::min(crop.cols - 1, r.x + int((1.0 + half) * r.width));
    box.bottom = std::min(crop.rows - 1, r.y + int((1.0 + half) * r.height));
    return true;
}

bool FaceTracker::track(const cv::Mat &image, const FaceBox &searchBox,
                        const FaceShape &previousShape, bool runHog, bool allowHaar,
                        FaceBox &detectorBox, FaceBox &faceBox, FaceShape &shape)
{
    detectorBox.clear();
    faceBox.clear();
    resetShape(shape);
    hogFound = false;
    haarFound = false;
    largeOnly = false;
    window = cv::Rect();
    for (FeatureRegionTracker &region : regions)
        region.clearFrame();
    if (!ready || image.empty() || image.type() != CV_8UC1) {
        // Nothing to follow from into the next frame either.
        previousImage.release();
        resetRegions();
        return false;
    }
    // Only a box this tracker gave out can have been followed from where a search placed it.
    if (searchBox.isEmpty())
        placedBox.clear();
    image.copyTo(frameImage);

    // Search near the previous face, clipped to the image.
    if (searchBox.isEmpty()) {
        window = wholeImage(frameImage);
    } else {
        const int mx = int(std::lround(0.1 * searchBox.width()));
        const int my = int(std::lround(0.1 * searchBox.height()));
        window = cv::Rect(cv::Point(searchBox.left - mx, searchBox.top - my),
                          cv::Point(searchBox.right + mx + 1, searchBox.bottom + my + 1)) &
                 wholeImage(frameImage);
    }
    const cv::Mat crop = frameImage(window);

    // HOG: the largest face, the first on equal areas.
    FaceBox found;
    // Nobody has been in view for a while: the whole image is first searched for a face of a
    // size a webcam user has, or of the last one's size; the full search follows only when
    // there is one.
    if (runHog && largeFacesFirst && window == wholeImage(frameImage) && !crop.empty() &&
        !hasLargeFace(crop, lastWidth)) {
        runHog = false;
        largeOnly = true;
    }
    if (runHog && !crop.empty()) {
        const std::vector<FaceBox> faces = detectFaces(crop);
        if (!faces.empty()) {
            found = faces[largestFirst(faces, faceBoxArea)];
            hogFound = found.area() > 0;
        }
    }
    // The cascade as fallback.
    if (!hogFound && allowHaar && cascade && !cascade->empty() && !crop.empty())
        haarFound = detectWithCascade(crop, found);

    if (hogFound || haarFound) {
        found.left += window.x;
        found.right += window.x;
        found.top += window.y;
        found.bottom += window.y;
        found = clippedToImage(found, frameImage);
        if (!found.isEmpty()) {
            detectorBox = found;
            // A whole-image search follows no face.
            const bool followed = !searchBox.isEmpty() && window != wholeImage(frameImage);
            faceBox = followed ? steadyBox(found, clippedToImage(searchBox, frameImage), placedBox)
                               : found;
            placedBox = faceBox;
            shape = fitLandmarks(faceBox, previousShape);
        }
    }

    // Regions that no gesture needs start afresh when they are needed again. The regions
    // share this frame's image pyramid: it is built once.
    std::shared_ptr<FlowPyramid> pyramid;
    trackFeatures(regions[0], frameImage, searchBox, pyramid, shape);
    if (followChin)
        trackFeatures(regions[1], frameImage, searchBox, pyramid, shape);
    else
        regions[1].reset();
    if (followForehead)
        trackFeatures(regions[2], frameImage, searchBox, pyramid, shape);
    else
        regions[2].reset();

    // Carry the face by optical flow. Only a face seen in the previous frame can be carried;
    // the whole-image search box of a fresh search is no face.
    if (faceBox.isEmpty() && !searchBox.isEmpty() && previousShape.isComplete() &&
        !regions[0].previousPoints.empty())
        followWithoutDetection(searchBox, previousShape, faceBox, shape);

    if (faceBox.isEmpty())
        placedBox.clear();
    // This frame is the next frame's previous one (the old buffer is reused).
    std::swap(previousImage, frameImage);
    return faceBox.area() > 0;
}

FaceShape FaceTracker::fitLandmarks(const FaceBox &box, const FaceShape &previousShape) const
{
    const cv::Mat &image = frameImage;
    const double shiftY = regions[0].meanShift.y;
    const int top = std::clamp(box.top + int(std::lround(shiftY)), 0, image.rows - 1);
    int bottom = image.rows - 1;
    if (previousShape.isComplete()) {
        const std::vector<cv::Point> &p = previousShape.points;
        const cv::Point2d leftEye = (cv::Point2d(p[36]) + cv::Point2d(p[39])) / 2.0;
        const cv::Point2d rightEye = (cv::Point2d(p[42]) + cv::Point2d(p[45])) / 2.0;
        const double halfEyeDistance =
            std::hypot(leftEye.x - rightEye.x, leftEye.y - rightEye.y) / 2.0;
        const double chin = p[33].y + halfEyeDistance + shiftY + 1.62 * std::abs(p[33].y - p[30].y);
        bottom = std::min(bottom, int(chin + 0.5));
    }
    // After a big head move the previous chin can lie above the new top.
    if (bottom < top)
        bottom = image.rows - 1;
    const cv::Rect fitWindow(cv::Point(box.left, top), cv::Point(box.right + 1, bottom + 1));
    FaceBox inCrop = box;
    inCrop.left -= fitWindow.x;
    inCrop.right -= fitWindow.x;
    inCrop.top -= fitWindow.y;
    inCrop.bottom -= fitWindow.y;
    FaceShape shape = model(image(fitWindow), inCrop);
    translateShape(shape, fitWindow.x, fitWindow.y);
    return shape;
}

void FaceTracker::trackFeatures(FeatureRegionTracker &region, const cv::Mat &image,
                                const FaceBox &searchBox, std::shared_ptr<FlowPyramid> &pyramid,
                                const FaceShape &shape)
{
    const cv::Size win(FeatureRegionTracker::kWindowSize, FeatureRegionTracker::kWindowSize);
    // No face to follow, a new frame size, or a frame too small for the flow window.
    if (searchBox.isEmpty() || previousImage.size() != image.size() || image.cols < win.width ||
        image.rows < win.height) {
        region.reset();
        return;
    }
    if (!region.previousPyramid)
        region.previousPyramid =
            std::make_shared<FlowPyramid>(previousImage, win, FeatureRegionTracker::kPyramidLevels);
    // A fresh one each frame: the regions keep last frame's as theirs.
    if (!pyramid)
        pyramid = std::make_shared<FlowPyramid>(image, win, FeatureRegionTracker::kPyramidLevels);

    // Reseed in the previous image when the region has run short of features.
    const int wanted = extraFeatures + 6;
    if (int(region.previousPoints.size()) < wanted) {
        region.previousPoints.clear();
        const double l = searchBox.left, t = searchBox.top;
        const double w = searchBox.width(), h = searchBox.height();
        switch (region.id) {
        case 0:
            region.maskRect =
                cv::Rect(int(l + 0.35 * w), int(t + 0.35 * h), int(0.3 * w), int(0.26 * h));
            break;
        case 1:
            region.maskRect =
                cv::Rect(int(l + 0.35 * w), int(t + 0.75 * h), int(0.3 * w), int(0.25 * h));
            break;
        default:
            region.maskRect =
                cv::Rect(int(l + 0.15 * w), int(t), int(0.7 * w), int(0.26 * h / 1.62));
            break;
        }
        region.maskRect &= wholeImage(image);
        region.mask.create(image.size(), CV_8UC1);
        region.mask.setTo(0);
        if (!region.maskRect.empty()) {
            region.mask(region.maskRect).setTo(255);
            cv::goodFeaturesToTrack(previousImage, region.previousPoints, std::max(25, wanted),
                                    0.005, 3, region.mask, 3, false, 0.04);
        }
    }
    if (region.previousPoints.empty()) {
        region.integerShift = {};
        region.previousPyramid = pyramid;
        return;
    }
    std::vector<uchar> status;
    std::vector<float> errors;
    cv::calcOpticalFlowPyrLK(
        region.previousPyramid->withDerivativesAround(region.previousPoints), pyramid->images(),
        region.previousPoints, region.nextPoints, status, errors, win,
        FeatureRegionTracker::kPyramidLevels,
        cv::TermCriteria(cv::TermCriteria::COUNT | cv::TermCriteria::EPS, 10, 0.01), 0, 1e-4);
    // Keep the points that were found, look alike and stayed in the region.
    std::vector<cv::Point2f> kept;
    cv::Point2d sum;
    for (size_t i = 0; i < region.nextPoints.size(); ++i) {
        const cv::Point2f &next = region.nextPoints[i];
        if (!status[i] || !(errors[i] < kMaxFlowError) ||
            !isInWindow(region, shape, next.x, next.y))
            continue;
        const cv::Point2f shift = next - region.previousPoints[i];
        kept.push_back(next);
        region.shiftList.push_back(shift);
        sum += cv::Point2d(shift);
    }
    // Whole pixels for moving the box; the fractions add up over the frames.
    if (!kept.empty()) {
        region.meanShift = sum / double(kept.size());
        const cv::Point2d total = region.meanShift + region.carriedFraction;
        region.integerShift = cv::Point(int(total.x), int(total.y));
        region.carriedFraction = total - cv::Point2d(region.integerShift);
    } else {
        region.integerShift = {};
    }
    region.previousPoints = std::move(kept);
    region.previousPyramid = pyramid;
}

bool FaceTracker::isInWindow(const FeatureRegionTracker &region, const FaceShape &shape, float x,
                             float y) const
{
    if (x < window.x || x > window.x + window.width - 1 || y < window.y ||
        y > window.y + window.height - 1)
        return false;
    if (!shape.isComplete())
        return true;
    const std::vector<cv::Point> &p = shape.points;
    // The chin region lies below the lower lip, the forehead region above the brows.
    if (region.id == 1)
        return y >= p[57].y;
    if (region.id == 2)
        return std::lround(y) <= std::max(p[19].y, p[24].y);
    return true;
}

void FaceTracker::followWithoutDetection(const FaceBox &previousBox, const FaceShape &previousShape,
                                         FaceBox &faceBox, FaceShape &shape)
{
    FeatureRegionTracker &mid = regions[0];
    const cv::Point shift = mid.integerShift;
    mid.integerShift = {};
    FaceBox moved = previousBox;
    moved.left = std::max(0, previousBox.left + shift.x);
    moved.top = std::max(0, previousBox.top + shift.y);
    moved.right = moved.left + previousBox.width() - 1;
    moved.bottom = moved.top + previousBox.height() - 1;
    moved = clippedToImage(moved, frameImage);
    if (moved.isEmpty())
        return;
    faceBox = moved;
    shape = fitLandmarks(moved, previousShape);
}

void FaceTracker::resetRegions()
{
    for (FeatureRegionTracker &region : regions)
        region.reset();
    placedBox.clear();
}

void FaceTracker::drawOverlay(cv::Mat &image, const FaceBox &faceBox, const FaceShape &shape,
                              bool haarIsNewer, double lipMotionSmoothed,
                              double lipMotionSlow) const
{
    Q_UNUSED(faceBox)
    const std::vector<LandmarkSegment> segments = landmark_segments_basic(shape);
    if (segments.empty() || image.empty())
        return;
    // Opaque on a four-channel preview; the fourth value is ignored on three channels.
    const cv::Scalar green(0, 255, 0, 255), purple(126, 0, 126, 255), red(0, 0, 255, 255);
    cv::Scalar colour = green;
    if (hogFound)
        colour = green;
    else if (haarFound || haarIsNewer)
        colour = purple;
    else if (lipMotionSmoothed > 2.0 || lipMotionSlow > 2.0)
        colour = red;
    for (const LandmarkSegment &s : segments)
        cv::line(image, s.from, s.to, colour, 1, cv::LINE_8, 0);
}
