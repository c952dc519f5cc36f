#pragma once

#include "vision/FaceBox.h"
#include "vision/FaceShape.h"
#include "vision/FeatureRegionTracker.h"
#include "vision/face_tracker_core.h"

#include <QString>

#include <opencv2/core/mat.hpp>

#include <array>
#include <memory>
#include <vector>

namespace cv {
class CascadeClassifier;
}

// Finds the face in each processed frame, fits the 68 landmarks to it and follows three
// feature regions by optical flow, which carry the face between detections. Created once
// before the worker starts and used by the worker thread only.
class FaceTracker
{
public:
    // Builds the HOG face detector and reads the landmark model joined from its seven pieces
    // in `modelFolder` (the current folder when empty). Never throws: when the model cannot
    // be read, isReady() is false and errorString() says why, naming the piece.
    explicit FaceTracker(const QString &modelFolder = QString());
    ~FaceTracker();
    FaceTracker(const FaceTracker &) = delete;
    FaceTracker &operator=(const FaceTracker &) = delete;

    bool isReady() const { return ready; }
    // A message for the user when the models could not be loaded.
    QString errorString() const { return error; }

    // One frame: `image` is the grey, resized, enhanced frame; `searchBox` the previous
    // frame's face box, or the whole image for a fresh search; `previousShape` the previous
    // frame's landmarks. `runHog` and `allowHaar` let the detectors run this frame. Fills the
    // detector box (empty when no detector found the face), the face box in use (detected or
    // carried by optical flow) and the fitted shape; returns whether a face is in the frame.
    bool track(const cv::Mat &image, const FaceBox &searchBox, const FaceShape &previousShape,
               bool runHog, bool allowHaar, FaceBox &detectorBox, FaceBox &faceBox,
               FaceShape &shape);
    // The HOG detector on a grey image (adjust threshold 0), best first.
    std::vector<FaceBox> detectFaces(const cv::Mat &image);
    // Whether the HOG detector sees a face of at least largeFaceWidth(image) pixels, or one
    // about `lastFaceWidth` pixels wide (a box width; 0 for none): the same search on smaller
    // copies of the image, over only the scales those faces are found at, a fraction of the
    // cost.
    bool hasLargeFace(const cv::Mat &image, int lastFaceWidth = 0);
    // The smallest face width hasLargeFace() is sure to find in an image of `size` (a
    // quarter of its smaller side or so); 0 when it searches every scale there.
    static int largeFaceWidth(cv::Size size);

    // When set, a search of the whole image first asks hasLargeFace() with `lastFaceWidth` (the
    // width of the last face seen, 0 for none) and runs the full detector only when it says
    // yes; its result is then the full detector's. Faces narrower than largeFaceWidth() and of
    // another size than the last face's are not found by such a search.
    void setLargeFacesFirst(bool on, int lastFaceWidth = 0)
    {
        largeFacesFirst = on;
        lastWidth = lastFaceWidth;
    }
    // Whether this frame's search stopped at the smaller image.
    bool searchedLargeFacesOnly() const { return largeOnly; }
    // Forgets every feature region and where the last search placed the face (the landmarks
    // must be found afresh).
    void resetRegions();
    // Draws the brows and lips onto the preview image, green when the HOG detector found the
    // face this frame, purple when the cascade did (or found it more recently), red while the
    // lips move relative to the head, else green.
    void drawOverlay(cv::Mat &image, const FaceBox &faceBox, const FaceShape &shape,
                     bool haarIsNewer, double lipMotionSmoothed, double lipMotionSlow) const;

    bool hogFaceFound() const { return hogFound; }
    bool haarFaceFound() const { return haarFound; }
    // Regions 0 (mid face), 1 (chin) and 2 (forehead).
    const FeatureRegionTracker &region(int id) const { return regions.at(size_t(id)); }
    // Where this frame's detectors ran.
    cv::Rect searchWindow() const { return window; }

    // The frame loop's cascade, the fallback when the HOG detector finds nothing; may be null.
    void setCascade(cv::CascadeClassifier *classifier) { cascade = classifier; }
    // ADDITIONAL_ETSYS (more features before a region is reseeded) and the gestures whose
    // regions are followed: the chin for mouth-open, the forehead for eyebrow-raise.
    void setRegionOptions(int additionalEtsys, bool mouthOpenDetection, bool eyebrowRaiseDetection);

private:
    struct Detector;

    bool loadModels(const QString &modelFolder);
    bool detectWithCascade(const cv::Mat &crop, FaceBox &box);
    FaceShape fitLandmarks(const FaceBox &box, const FaceShape &previousShape) const;
    void trackFeatures(FeatureRegionTracker &region, const cv::Mat &image, const FaceBox &searchBox,
                       std::shared_ptr<FlowPyramid> &pyramid, const FaceShape &shape);
    bool isInWindow(const FeatureRegionTracker &region, const FaceShape &shape, float x,
                    float y) const;
    void followWithoutDetection(const FaceBox &previousBox, const FaceShape &previousShape,
                                FaceBox &faceBox, FaceShape &shape);

    std::unique_ptr<Detector> detector;
    face_tracker_core model;
    bool ready = false;
    QString error;

    cv::CascadeClassifier *cascade = nullptr;
    int extraFeatures = 0;
    bool followChin = false;
    bool followForehead = false;
    bool largeFacesFirst = false;
    int lastWidth = 0;
    bool largeOnly = false;

    cv::Rect window;
    // The face's box as the last search placed it (kept or found); the optical flow carries
    // the box away from it while the face moves.
    FaceBox placedBox;
    bool hogFound = false;
    bool haarFound = false;
    std::array<FeatureRegionTracker, 3> regions{FeatureRegionTracker(0), FeatureRegionTracker(1),
                                                FeatureRegionTracker(2)};
    cv::Mat frameImage;
    cv::Mat previousImage;
};
