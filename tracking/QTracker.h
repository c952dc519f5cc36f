#pragma once

#include "core/QProcessInterface.h"
#include "engine/EngineSignals.h"
#include "tracking/FaceDetectionSchedule.h"
#include "tracking/TrackingSession.h"
#include "vision/FacialMetricsState.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdio>
#include <memory>
#include <opencv2/core/mat.hpp>
#include <opencv2/objdetect.hpp>
#include <opencv2/videoio.hpp>

Q_DECLARE_METATYPE(cv::Mat)

class CameraDialogs;
class CameraGrab;
class FaceTracker;

// The worker that owns the camera and runs the frame loop on its own thread: capture,
// preparation, face detection and landmarks, measurements, the click engine, and the status
// images and preview sent to the GUI thread.
class QTracker : public QProcessInterface
{
    Q_OBJECT
public:
    explicit QTracker(QObject *parent = nullptr);
    ~QTracker() override;

    // The camera dialogs to show while opening the camera (not owned).
    void setCameraDialogs(CameraDialogs *dialogs) { cameraDialogs = dialogs; }
    // The cameras by name; with TOVRA_CAMERA_FILE set, one camera "Video File" playing it.
    static QStringList enumerateVideoDevices();

    // Opens the camera the user chose; false when none can be opened (the program stops).
    virtual bool openCamera();
    virtual void closeCamera();
    // Loads the face detector and the landmark model; false with a message for the user
    // (errorString) when the model cannot be read.
    bool createFaceTracker();
    QString errorString() const { return lastError; }
    bool hasCaptureSource() const { return capture != nullptr; }
    // Applies the settings changed since the last call (every setting on the start-up call).
    void applyChangedSettings(bool startupPass);
    // Whether the window under the pointer turns the pointer's stickiness off.
    void checkWindowUnderCursor();

    // Whether anyone sees the preview: frames for it are made only then. Any thread.
    void setPreviewShown(bool shown) { previewShown = shown; }

    // Processing stopped by the user; written from the GUI thread.
    bool isPaused() const { return paused; }
    void setPaused(bool value)
    {
        // A pause shorter than a pass still lets the GUI blank the status images: the next
        // pass sends them all again.
        if (paused.exchange(value) != value)
            statusResendWanted = true;
    }

signals:
    void ShowProcessedImage(cv::Mat processedImage);
    void MotionSN_SetDelta(int iX, int iY);
    void MotionSN_SetSize(int iX, int iY);
    void MotionSN_SetImagePath(QString imagePath);
    void MotionSN_UpdateMousePosition();
    void FaceSN_SetImagePath(QString imagePath);
    void FaceSN_UpdateMousePosition();
    void SmileSN_SetImagePath(QString imagePath);
    void SmileSN_UpdateMousePosition();
    void ScrollSN_SetImagePath(QString imagePath);
    void ScrollSN_UpdateScrollParams(int iNdx, int iDir);
    void PlaybackFileSelected();
    void HideUponCalibrationCompleted();
    void expressionIntensityChanged(QString name, int intensity, bool bSmooth, bool bColorGray,
                                    bool bFlipRedGreen);
    void expressionStateChanged(QString expressionName, bool isActive);
    void TrackerProcessCompleted();

public slots:
    void ProcessSlot() override;
    // Switches the frame source to the chosen video file (GUI thread, waits for the frame).
    bool OpenPlaybackFile();
    // Ends the frame loop after the current pass (queued from the GUI thread).
    void onMainWindowClosing();

    // Requests from the GUI thread that change engine state. Invoke them queued
    // (QMetaObject::invokeMethod with Qt::QueuedConnection): they run on the worker at its
    // next event point, never beside a frame.
    void startTrackingSession(bool force);
    void recenterPointer();
    void resetGestureState();
    void restoreSystemCursors();
    // The next pass searches the whole image for the face.
    void requestFaceRedetection();

protected:
    // The loop in its three parts, as ProcessSlot runs them on the worker: the start (false
    // when the loop cannot run, already ended then), one pass (a frame, a rest while paused or
    // without a frame), and the end, which lets go of everything.
    bool startLoop();
    void runPass();
    void endLoop();
    // The next frame of the source; false when there is none (yet).
    virtual bool grabFrame(cv::Mat &image, quint32 &captureTimeMs);
    // Finds the face in the prepared frame and fills this frame's records.
    virtual void detectAndMeasure(cv::Mat &colour, cv::Mat &grey);

private:
    // One pass of the loop with the lock held; returns false when the frame was empty.
    bool processFrame();
    // The frame source from now on (none: null). Lock held.
    void useCapture(std::shared_ptr<cv::VideoCapture> source, bool loops);
    // From the grabbed frame in `colour`: the grey image the tracker looks at and, when the
    // preview is shown, the preview's pixels in `colour` (empty otherwise).
    void prepareImage(cv::Mat &colour, cv::Mat &grey, bool preview);
    void enhanceImage(cv::Mat &grey);
    // The click engine in its fixed order; false when a real mouse moved the pointer.
    void sendStatusImages();
    void drawIntensityBar(cv::Mat &image);
    void beginLoop();
    void resetDetectors();
    void closeLogs();

    // Lives on the worker's thread beside the tracker (moved there by the constructor: the
    // tracker is already there, so it cannot take it as a child).
    EngineSignals engineOutput;
    cv::Mat lastFrame;
    std::shared_ptr<cv::VideoCapture> capture;
    std::unique_ptr<CameraGrab> grabber;
    bool captureLoops = false;
    std::unique_ptr<FaceTracker> faceTracker;
    cv::CascadeClassifier cascade;
    FacialMetricsState metricsState;
    FaceDetectionSchedule schedule;
    TrackingSession session;
    CameraDialogs *cameraDialogs = nullptr;
    QString lastError;
    QString statusImage;
    // What the last passes sent to the GUI thread's status images and warnings, sent again only
    // when it changes. Forgotten after any pass that sent none (pause, a real mouse moving,
    // no frame), since the GUI may have blanked them in between.
    struct SentStatus
    {
        QString faceImage;
        QString smileImage;
        int faceWarning = -1; // -1 unknown, 0 hidden, 1 shown
        int lipsWarning = -1;
    };
    SentStatus sentStatus;
    bool statusSentLastPass = false;
    bool statusSentThisPass = false;
    int lipsNotVisibleCount = 0;
    cv::Size previousSize;
    std::FILE *processingDataFile = nullptr;
    std::FILE *processingTimeFile = nullptr;
    std::atomic<bool> paused{false};
    std::atomic<bool> statusResendWanted{false};
    std::atomic<bool> previewShown{true};
    std::atomic<bool> stopRequested{false};
    bool redetectRequested = false;
    // Whether this pass reached the dwell step; a pass that did not ends any dwell.
    bool dwellStepRan = false;
    // What the last pass found: processing paused, clicking on.
    bool wasPaused = false;
    bool wasClicking = true;
    bool failureReported = false;
};
