#include "tracking/QTracker.h"

#include "core/AppFilePaths.h"
#include "core/Clock.h"
#include "core/DebugLog.h"
#include "core/FacialDetectionApp.h"
#include "core/FrameTiming.h"
#include "core/SettingsKeys.h"
#include "engine/ClickEngine.h"
#include "engine/EnginePass.h"
#include "engine/EngineSignals.h"
#include "engine/EngineState.h"
#include "engine/FacialGestures.h"
#include "engine/SmileGesture.h"
#include "engine/StillnessDetector.h"
#include "engine/SyntheticInput.h"
#include "engine/SystemCursorReplacement.h"
#include "feedback/COnScreenText.h"
#include "feedback/CProgressMeter.h"
#include "platform/CameraList.h"
#include "platform/MouseParameters.h"
#include "platform/Platform.h"
#include "platform/Process.h"
#include "tracking/CameraDialogs.h"
#include "tracking/CameraGrab.h"
#include "tracking/FrameLoopRules.h"
#include "tracking/SettingsMapping.h"
#include "vision/ComputeFacialMetrics.h"
#include "vision/FaceTracker.h"
#include "vision/FrameRecords.h"
#include "vision/ImageEnhancement.h"
#include "vision/MirroredFrame.h"
#include "vision/TrimmedMean.h"

#include <QDebug>
#include <QFile>
#include <QThread>

#include <cmath>
#include <cstdio>
#include <exception>
#include <opencv2/core/utility.hpp>
#include <opencv2/imgproc.hpp>
#include <utility>

namespace {

constexpr int kPausedSleepMs = 20;
constexpr int kEmptyFrameSleepMs = 20;
// The longest wait for one frame: far above any camera's frame time, far below a quit's patience.
constexpr int kGrabTimeoutMs = 2000;
constexpr int kLipsWarningFrames = 32;

struct CameraSource
{
    QString name;
    QString source;
    bool isFile;
};

QList<CameraSource> listCameras()
{
    const QString file = qEnvironmentVariable("TOVRA_CAMERA_FILE");
    if (!file.isEmpty())
        return {{QStringLiteral("Video File"), file, true}};
    QList<CameraSource> list;
    for (const platform::CameraDevice &device : platform::cameraList().cameras())
        list.append({device.name, device.source, false});
    return list;
}

std::FILE *openLog(const QString &path)
{
    return path.isEmpty() ? nullptr : std::fopen(QFile::encodeName(path).constData(), "w");
}

void closeLog(std::FILE *&file)
{
    if (file)
        std::fclose(file);
    file = nullptr;
}

double length(const cv::Point2d &p)
{
    return std::hypot(p.x, p.y);
}

void setUpStillnessDetectors(int holdHeadSteadyThreshold)
{
    setStillnessDetector(alwaysOnDetector, trackingParameters.DWELL_PARK_THRESHOLD,
                         QStringLiteral("AlwaysOn"));
    setStillnessDetector(alwaysOnAbsoDetector, trackingParameters.DWELL_PARK_THRESHOLD,
                         QStringLiteral("AlwaysOn_Abso"));
    setStillnessDetector(holdHeadSteadyDetector, holdHeadSteadyThreshold,
                         QStringLiteral("HoldHeadSteady"));
}

// Start-up raised the priority before the settings were read. Raising again later needs
// privilege an ordinary user lacks, so the level chosen takes effect at the start only.
bool setProcessPriority(int level)
{
    if (level == 1 || level == 2)
        return platform::process().raisePriority();
    return platform::process().lowerPriority();
}

} // namespace

QTracker::QTracker(QObject *parent)
    : QProcessInterface(-1, parent)
{
    // The worker's name as the system shows it (OpenCV's own threads, started from it, carry
    // it too).
    thread.setObjectName(QStringLiteral("tovra-tracker"));
    engineOutput.moveToThread(&thread);
    qRegisterMetaType<cv::Mat>("cv::Mat");
    // The engine's signals leave under the tracker's own names, from the thread that emits
    // them (the tracker's own connections then decide how they travel).
    connect(&engineOutput, &EngineSignals::MotionSN_SetImagePath, this,
            &QTracker::MotionSN_SetImagePath, Qt::DirectConnection);
    connect(&engineOutput, &EngineSignals::MotionSN_UpdateMousePosition, this,
            &QTracker::MotionSN_UpdateMousePosition, Qt::DirectConnection);
    connect(&engineOutput, &EngineSignals::FaceSN_UpdateMousePosition, this,
            &QTracker::FaceSN_UpdateMousePosition, Qt::DirectConnection);
    connect(&engineOutput, &EngineSignals::SmileSN_SetImagePath, this,
            &QTracker::SmileSN_SetImagePath, Qt::DirectConnection);
    connect(&engineOutput, &EngineSignals::SmileSN_UpdateMousePosition, this,
            &QTracker::SmileSN_UpdateMousePosition, Qt::DirectConnection);
    connect(&engineOutput, &EngineSignals::ScrollSN_SetImagePath, this,
            &QTracker::ScrollSN_SetImagePath, Qt::DirectConnection);
    connect(&engineOutput, &EngineSignals::ScrollSN_UpdateScrollParams, this,
            &QTracker::ScrollSN_UpdateScrollParams, Qt::DirectConnection);
    connect(&engineOutput, &EngineSignals::expressionIntensityChanged, this,
            &QTracker::expressionIntensityChanged, Qt::DirectConnection);
    connect(&engineOutput, &EngineSignals::expressionStateChanged, this,
            &QTracker::expressionStateChanged, Qt::DirectConnection);
    setEngineSignals(&engineOutput);
}

QTracker::~QTracker()
{
    // The loop uses this object's members: end it before they go.
    Stop();
    if (engineSignals() == &engineOutput)
        setEngineSignals(nullptr);
    useCapture(nullptr, false);
}

QStringList QTracker::enumerateVideoDevices()
{
    QStringList names;
    for (const CameraSource &camera : listCameras())
        names << camera.name;
    return names;
}

bool QTracker::openCamera()
{
    closeCamera();
    FacialDetectionApp *app = FacialDetectionApp::instance();
    if (listCameras().isEmpty()) {
        if (cameraDialogs)
            cameraDialogs->showNoCameraFound();
        return false;
    }
    if (cameraDialogs)
        cameraDialogs->chooseCamera(enumerateVideoDevices());

    // The dialog stored the choice; the list is read again in case a camera went away.
    const QList<CameraSource> cameras = listCameras();
    if (cameras.isEmpty()) {
        if (cameraDialogs)
            cameraDialogs->showNoCameraFound();
        return false;
    }
    const QString chosen =
        app ? app->getSetting(SettingKeys::DEFAULT_CAMERA).toString() : QString();
    int index = 0;
    for (int i = 0; i < cameras.size(); ++i) {
        if (cameras[i].name == chosen) {
            index = i;
            break;
        }
    }
    if (cameras[index].name != chosen && app)
        app->setSetting(SettingKeys::DEFAULT_CAMERA, cameras[index].name);

    const CameraSource &camera = cameras[index];
    auto source = std::make_shared<cv::VideoCapture>();
    const std::string path = QFile::encodeName(camera.source).toStdString();
    if (camera.isFile)
        source->open(path);
    else
        source->open(path, cv::CAP_V4L2);
    if (!source->isOpened()) {
        if (cameraDialogs)
            cameraDialogs->showCameraError(tr("Cannot open selected camera!\n"));
        return false;
    }
    Lock();
    // The file camera stands in for a camera, which never ends: it plays in a loop.
    useCapture(source, camera.isFile);
    Unlock();
    return true;
}

void QTracker::closeCamera()
{
    Lock();
    useCapture(nullptr, false);
    faceTracker.reset();
    Unlock();
}

bool QTracker::createFaceTracker()
{
    Lock();
    auto tracker = std::make_unique<FaceTracker>();
    const bool ready = tracker->isReady();
    if (ready) {
        faceTracker = std::move(tracker);
        lastError.clear();
    } else {
        lastError = tracker->errorString();
    }
    Unlock();
    return ready;
}

bool QTracker::OpenPlaybackFile()
{
    // Open first: a file that cannot be read leaves the camera in place.
    auto source = std::make_shared<cv::VideoCapture>(
        QFile::encodeName(AppFilePaths::playbackVideoFile).toStdString());
    if (!source->isOpened()) {
        qWarning().noquote() << "Could not open the video file" << AppFilePaths::playbackVideoFile;
        return false;
    }
    Lock();
    useCapture(source, false);
    resetDetectors();
    setUpStillnessDetectors(5);
    resetDwellRecords();
    Unlock();
    return true;
}

void QTracker::resetDetectors()
{
    if (faceTracker)
        faceTracker->resetRegions();
    frameRecords.clear();
}

void QTracker::useCapture(std::shared_ptr<cv::VideoCapture> source, bool loops)
{
    // The source goes when the last grab that uses it returns: now, unless one hangs.
    grabber.reset();
    capture = std::move(source);
    captureLoops = loops;
    if (!capture)
        return;
    grabber = std::make_unique<CameraGrab>([source = capture, loops](cv::Mat &frame) {
        bool grabbed = source->grab();
        if (!grabbed && loops) {
            source->set(cv::CAP_PROP_POS_FRAMES, 0);
            grabbed = source->grab();
        }
        return grabbed && source->retrieve(frame, 0) && !frame.empty();
    });
}

bool QTracker::grabFrame(cv::Mat &image, quint32 &captureTimeMs)
{
    image.release();
    captureTimeMs = currentTimeMs32();
    // A camera that stops answering costs a pass this long, not the whole loop: a quit
    // still gets through.
    if (!grabber || !grabber->next(image, kGrabTimeoutMs))
        return false;
    captureTimeMs = currentTimeMs32();
    // Kept as grabbed: the preparation writes its first result into a buffer of its own.
    lastFrame = image;
    return true;
}

void QTracker::applyChangedSettings(bool startupPass)
{
    FacialDetectionApp *app = FacialDetectionApp::instance();
    if (!app)
        return;
    // Most frames find nothing changed: the entries are not even copied then.
    const QList<SettingEntry> entries = startupPass || app->hasChangedSettings()
                                            ? app->takeChangedSettings()
                                            : QList<SettingEntry>();
    for (const SettingEntry &entry : entries) {
        if (!entry.changed)
            continue;
        const SettingEffect effect =
            applySettingEntry(entry, trackingParameters, clickOptionState, pointerSettings);
        // A gesture switched off mid-action ends what it holds, and nothing else (the
        // engine's pass does the same for a switch it finds off).
        if (!startupPass && !entry.value.toBool()) {
            if (entry.name == QLatin1String(SettingKeys::ACTIVATE_SMILE_DETECTION))
                interruptSmileGesture();
            else if (entry.name == QLatin1String(SettingKeys::ACTIVATE_BLINK_DETECTION))
                interruptSlowBlink();
            else if (entry.name == QLatin1String(SettingKeys::ACTIVATE_MOUTHOPEN_DETECTION))
                interruptMouthOpen();
            else if (entry.name == QLatin1String(SettingKeys::ACTIVATE_EYEBROWRAISE_DETECTION))
                interruptEyebrowRaise();
        }
        switch (effect) {
        case SettingEffect::None:
            break;
        case SettingEffect::DragMode:
            setDragMode(entry.value.toInt());
            break;
        case SettingEffect::RestartHoldHeadSteady:
            setStillnessDetector(holdHeadSteadyDetector, trackingParameters.HHS_THRESHOLD,
                                 holdHeadSteadyDetector.name);
            break;
        case SettingEffect::RestartParkDetectors:
            setStillnessDetector(alwaysOnAbsoDetector, trackingParameters.DWELL_PARK_THRESHOLD,
                                 alwaysOnAbsoDetector.name);
            setStillnessDetector(alwaysOnDetector, trackingParameters.DWELL_PARK_THRESHOLD,
                                 alwaysOnDetector.name);
            break;
        case SettingEffect::EnhancePrecision:
            platform::mouseParameters().setEnhancedPrecision(trackingParameters.ENHANCE_PRECISION);
            break;
        case SettingEffect::Recenter:
            if (!startupPass)
                ::recenterPointer();
            break;
        case SettingEffect::StartSession:
            if (!startupPass)
                startTrackingSession(false);
            break;
        case SettingEffect::HideMessages:
            sentStatus.faceWarning = sentStatus.lipsWarning = 0;
            emit app->hideFaceNotFound();
            emit app->hideLipsNotClearlyVisible();
            break;
        case SettingEffect::StartAutomatically:
            app->onStartAutomaticallyChanged(trackingParameters.START_AUTOMATICALLY);
            break;
        case SettingEffect::ProcessPriority:
            if (startupPass)
                setProcessPriority(trackingParameters.PROCESS_PRIORITY);
            break;
        }
    }
    if (faceTracker)
        faceTracker->setRegionOptions(trackingParameters.ADDITIONAL_ETSYS,
                                      trackingParameters.ACTIVATE_MOUTHOPEN_DETECTION,
                                      trackingParameters.ACTIVATE_EYEBROWRAISE_DETECTION);
    // Every processed frame comes through here, so this is also the once-per-frame look as
    // the pointer moves.
    checkWindowUnderCursor();
}

void QTracker::checkWindowUnderCursor()
{
    trackingParameters.STICKINESS_OFF_UNDER_POINTER = stickinessOffUnderPointer(
        platform::process().windowUnderPointer(), trackingParameters.DISABLE_STICKINESS_OSK);
}

void QTracker::startTrackingSession(bool force)
{
    TrackingSession::Hooks hooks;
    hooks.frameTimeMs = frameRecords.motion.timeMs;
    hooks.metricsState = &metricsState;
    session.startTrackingSession(force, hooks);
}

void QTracker::recenterPointer()
{
    ::recenterPointer();
}

void QTracker::resetGestureState()
{
    ::resetGestureState();
}

void QTracker::restoreSystemCursors()
{
    ::restoreSystemCursors();
}

void QTracker::requestFaceRedetection()
{
    redetectRequested = true;
}

void QTracker::onMainWindowClosing()
{
    stopRequested = true;
}

void QTracker::beginLoop()
{
    processingDataFile = openLog(AppFilePaths::processingDataFile);
    processingTimeFile = openLog(AppFilePaths::processingTimeFile);
    frameRecords.clear();
    metricsState.clearSeries();
    lipsNotVisibleCount = 0;
    statusImage = QStringLiteral("invisible.png");
    // A loop started again starts afresh: nothing of an earlier run's passes carries over.
    sentStatus = SentStatus();
    statusSentLastPass = statusSentThisPass = false;
    redetectRequested = false;
    dwellStepRan = false;
    previousSize = cv::Size();
    session = TrackingSession();
    setUpStillnessDetectors(qMax(trackingParameters.HHS_THRESHOLD, 3));
    resetDwellRecords();
}

void QTracker::closeLogs()
{
    closeLog(processingDataFile);
    closeLog(processingTimeFile);
    closeDebugLog();
}

void QTracker::endLoop()
{
    closeLogs();
    // Nothing the engine pressed stays down, and the user's cursors come back.
    interruptGestures();
    releaseHeldInput();
    ::restoreSystemCursors();
    GlobalProgressMeter.Stop();
    CalibrationText.Stop();
    emit TrackerProcessCompleted();
}

void QTracker::ProcessSlot()
{
    if (!startLoop())
        return;
    while (IsRunning() && !stopRequested)
        runPass();
    endLoop();
}

bool QTracker::startLoop()
{
    // The frames are small: OpenCV's own threads, which keep spinning between frames, cost
    // several times what they save. Every result is the same either way.
    cv::setNumThreads(0);
    beginLoop();
    // Read once: a loop started again finds it loaded.
    if (cascade.empty() && !cascade.load("hfd.xml")) {
        std::printf("Could not find haar cascade file!\n");
        std::fflush(stdout);
        endLoop();
        return false;
    }
    if (faceTracker)
        faceTracker->setCascade(&cascade);
    startTrackingSession(false);
    wasPaused = false;
    wasClicking = true;
    failureReported = false;
    startEnginePasses(currentTimeMs32());
    return true;
}

void QTracker::runPass()
{
    Lock();
    // Stopping processing or pausing clicks lets go of whatever the engine holds down. A press
    // over our own windows made while clicking is paused goes too when processing stops: no
    // gesture runs then that could end it.
    FacialDetectionApp *app = FacialDetectionApp::instance();
    const bool pausedNow = paused;
    const bool clicking = !app || app->clickingActive;
    if ((pausedNow && !wasPaused) || (!pausedNow && wasClicking && !clicking))
        releaseEverything();
    wasPaused = pausedNow;
    wasClicking = clicking;
    dwellStepRan = false;
    statusSentLastPass = statusSentThisPass;
    statusSentThisPass = false;
    bool processed = false;
    bool failed = false;
    if (!pausedNow) {
        // Whatever a pass throws, the loop goes on and nothing it held stays down.
        try {
            processed = processFrame();
        } catch (const std::exception &e) {
            failed = true;
            if (!failureReported)
                std::fprintf(stderr, "Frame processing failed: %s\n", e.what());
            failureReported = true;
        }
    }
    if (failed)
        releaseEverything();
    else if (!pausedNow && !processed)
        enginePassWithoutFrame(currentTimeMs32()); // a short gap changes nothing
    else if (!dwellStepRan)
        interruptDwell();
    Unlock();
    // Passes follow each other without a gap when a frame takes longer than the camera's
    // period: another thread waiting for the lock gets it now.
    handOverLock();
    if (pausedNow || !processed) {
        // Paused, or no frame (a video that ended, a camera unplugged): rest, don't spin.
        workerRest(pausedNow ? kPausedSleepMs : kEmptyFrameSleepMs);
    }
}

bool QTracker::processFrame()
{
    const qint64 frameStart = currentTimeMs();
    resetFrameDetection(frameRecords.detection);
    FrameTiming::frameStarted(frameRecords.detection.frameTimeMs);
    resetFacialMetrics(frameRecords.metrics);
    int cursorX = 0, cursorY = 0;
    getCursorPosScaled(cursorX, cursorY);
    resetHeadMotionState(frameRecords.motion, frameRecords.detection.frameTimeMs,
                         cv::Point(cursorX, cursorY));

    cv::Mat colour;
    quint32 captureTime = 0;
    if (!grabFrame(colour, captureTime))
        return false;
    frameRecords.detection.captureTimeMs = captureTime;

    applyChangedSettings(false);
    // This frame's motion is not measured yet: the last measured one tells whether the user
    // moves the head to end the reminder.
    const double headSpeed = length(frameRecords.previousMotion.smoothedPointerVelocity);
    session.calibrationTick(headSpeed);
    if (session.takeMinimiseRequest())
        emit HideUponCalibrationCompleted();

    // The preview's pixels are made only while it is on the screen: they serve nothing else.
    const bool preview = previewShown;
    cv::Mat grey;
    prepareImage(colour, grey, preview);
    detectAndMeasure(colour, grey);
    FrameTiming::faceInFrame(!frameRecords.detection.faceBox.isEmpty());

    bool externalMotion = false;
    if (pointerSettings.engineEnabled != 0)
        externalMotion = !runEnginePass(dwellStepRan);
    else
        suspendEnginePass(); // calibration suspends the engine

    qint64 elapsed = 0;
    if (!externalMotion) {
        sendStatusImages();
        // A new buffer every pass (prepareImage writes one): the frame that travels shares no
        // pixels with the next.
        if (preview && !colour.empty())
            emit ShowProcessedImage(colour);
        elapsed = currentTimeMs() - frameStart;
    }
    FrameTiming::frameEnded();

    frameRecords.shift();
    previousSize = grey.size();
    const int sleepMs = FrameLoopRules::pacingSleepMs(
        FrameLoopRules::framePeriodMs(trackingParameters.CAMERA_FRAMERATE), elapsed);
    if (sleepMs > 0)
        workerRest(sleepMs);
    return true;
}

void QTracker::prepareImage(cv::Mat &colour, cv::Mat &grey, bool preview)
{
    // The grabbed buffer stays as it was grabbed (the last frame): each form is written anew.
    const cv::Mat grabbed = colour;
    colour.release();
    const bool flipX = !trackingParameters.CAMERA_FLIPLEFTTORIGHT;
    const bool flipY = trackingParameters.CAMERA_FLIPTOPTOBOTTOM != 0;
    mirroredGrey(grabbed, flipX, flipY, grey);
    // Four bytes a pixel in the order the preview's 32-bit image has, so that it only scales;
    // a grey camera still gets a colour preview for the annotation.
    if (preview)
        mirroredPreviewPixels(grabbed, flipX, flipY, colour);

    const int target = trackingParameters.ADDITIONAL_RESOLUTION + 256;
    frameRecords.detection.processingSize = target;
    const int minSide = qMin(grey.cols, grey.rows);
    if (minSide <= 0)
        std::printf("********* Min Frame dim <= 0 (%d)!!!! ************\n", minSide);
    const cv::Size size = FrameLoopRules::processingSize(grey.size(), target);
    if (size != grey.size()) {
        if (!colour.empty())
            cv::resize(colour, colour, size, 0, 0, cv::INTER_LINEAR);
        cv::resize(grey, grey, size, 0, 0, cv::INTER_LINEAR);
    }
}

void QTracker::enhanceImage(cv::Mat &grey)
{
    bool useDefaults = false;
    const int flags = enhancementFlags(
        trackingParameters.DEFAULT_IMGPROC, trackingParameters.LOGON,
        trackingParameters.FINE_CONTRAST, trackingParameters.COARSE_CONTRAST,
        trackingParameters.BACKLIGHT, trackingParameters.BACKLIGHT_LEVEL, &useDefaults);
    preprocessFrame(grey, flags, useDefaults);
}

void QTracker::detectAndMeasure(cv::Mat &colour, cv::Mat &grey)
{
    FrameDetection &detection = frameRecords.detection;
    FrameDetection &previous = frameRecords.previousDetection;
    FaceSeenTimes &seen = frameRecords.seen;
    FacialDetectionApp *app = FacialDetectionApp::instance();

    FaceBox whole;
    whole.left = 0;
    whole.top = 0;
    whole.right = grey.cols - 1;
    whole.bottom = grey.rows - 1;
    FaceBox searchBox = grey.size() == previousSize ? previous.faceBox : whole;

    const FaceDetectionSchedule::Inputs inputs{detection,
                                               previous,
                                               frameRecords.beforePreviousDetection,
                                               frameRecords.previousMetrics,
                                               frameRecords.previousMotion,
                                               seen.hogSeenMs,
                                               metricsState.mouthEyeRatio.ready(),
                                               isSmileInProgress()};
    bool redetect = schedule.needsFaceRedetection(inputs) || redetectRequested;
    redetectRequested = false;
    // Not by the frame time the session stored: one started by a queued call stores the time
    // of a frame already past this step.
    const bool sessionFrame = session.takeWholeImageSearch();
    if (redetect || sessionFrame) {
        resetShape(previous.landmarks);
        previous.faceBox.clear();
        previous.detectorBox.clear();
        if (faceTracker)
            faceTracker->resetRegions();
        searchBox = sessionFrame ? whole : previous.faceBox;
    }
    bool runHog = false, allowHaar = false;
    schedule.scheduleFaceDetection(inputs, redetect, runHog, allowHaar);
    // A frame that neither searches nor follows a face is not looked at: while nobody is
    // there, most frames.
    if (runHog || allowHaar || !searchBox.isEmpty())
        enhanceImage(grey);

    if (faceTracker) {
        faceTracker->setLargeFacesFirst(schedule.largeFacesFirst(), schedule.lastFaceWidth());
        detection.faceFound =
            faceTracker->track(grey, searchBox, previous.landmarks, runHog, allowHaar,
                               detection.detectorBox, detection.faceBox, detection.landmarks);
        detection.hogFaceFound = faceTracker->hogFaceFound();
        detection.haarFaceFound = faceTracker->haarFaceFound();
    }

    const quint32 now = detection.frameTimeMs;
    if (detection.hogFaceFound)
        seen.hogSeenMs = now;
    if (detection.haarFaceFound)
        seen.haarSeenMs = now;
    seen.anySeenMs =
        quint32(seen.hogSeenMs - seen.haarSeenMs) < 0x80000000u ? seen.hogSeenMs : seen.haarSeenMs;
    cv::Point2d region0Shift, region2Shift;
    if (faceTracker) {
        region0Shift = faceTracker->region(0).meanShift;
        region2Shift = faceTracker->region(2).meanShift;
    }
    if (!detection.faceBox.isEmpty()) {
        seen.boxSeenMs = now;
        detection.regionShift = region0Shift;
        if (faceTracker)
            detection.trimmedShift = regionTrimmedShifts(faceTracker->region(0).shiftList);
    }
    detection.haarIsNewer = (detection.haarFaceFound && !detection.hogFaceFound) ||
                            (seen.haarSeenMs != 0 &&
                             (seen.hogSeenMs == 0 || qint32(seen.haarSeenMs - seen.hogSeenMs) > 0));

    MetricsInputs metricsInputs;
    metricsInputs.absoluteMode = trackingParameters.ABSOLUTE_MODE;
    metricsInputs.absoluteModeSpeedLimit = trackingParameters.ABSOMODE_FZS_2;
    metricsInputs.smileThreshold = trackingParameters.SMILE_THRESHOLD;
    metricsInputs.smileInProgress = isSmileInProgress();
    metricsInputs.smilePending = isSmilePending();
    metricsInputs.smileStageActive = isSmileStageActive();
    metricsInputs.pointerFrozen = pointerEngineState.pointerFrozen != 0;
    metricsInputs.actionCount = app ? app->clickCounter.load() : 0;
    computeFacialMetrics(detection, frameRecords.metrics, previous, frameRecords.previousMetrics,
                         frameRecords.motion, frameRecords.previousMotion, region0Shift,
                         region2Shift, metricsInputs, metricsState);

    if (detection.faceFound && faceTracker) {
        if (!colour.empty())
            faceTracker->drawOverlay(colour, detection.faceBox, detection.landmarks,
                                     detection.haarIsNewer, frameRecords.motion.lipMotionSmoothed,
                                     frameRecords.motion.lipMotionSlow);
        // The bar's level is measured whether or not there is a preview to draw it on.
        if (trackingParameters.ACTIVATE_SMILE_DETECTION)
            drawIntensityBar(colour);
    }
}

void QTracker::drawIntensityBar(cv::Mat &image)
{
    const int threshold = trackingParameters.SMILE_THRESHOLD;
    // A threshold of 100 (or more) leaves no room above it: the bar stays empty.
    const int span = 100 - threshold;
    const int p =
        span > 0 ? int(qMax(0.0, frameRecords.metrics.smileLevel - threshold) * 100 / span) : 0;
    frameRecords.metrics.smileBarPct = p;
    if (image.empty())
        return;
    const int w = qMax(6, int(std::lround(image.cols * 0.02644)));
    const int x = int(image.cols - 1.5 * w);
    const int y = w / 2;
    const int h = image.rows - w;
    // Opaque: the preview's pixels carry 255 in their fourth byte.
    cv::rectangle(image, cv::Rect(x, y, w, h), cv::Scalar(50, 50, 50, 255), cv::FILLED);
    const int filled = h * p / 100;
    if (filled > 2)
        cv::rectangle(image, cv::Rect(x + 1, int(h - filled + w / 2 + 1), w - 2, filled - 2),
                      cv::Scalar(100, 255, 100, 255), cv::FILLED);
}

void QTracker::sendStatusImages()
{
    const TrackingParameters &p = trackingParameters;
    const FrameDetection &d = frameRecords.detection;
    const HeadMotionState &m = frameRecords.motion;
    FacialDetectionApp *app = FacialDetectionApp::instance();
    const bool detected = d.hogFaceFound || d.haarFaceFound;
    const bool boxed = !d.faceBox.isEmpty();
    const bool missing = !detected && !boxed;
    const bool lipsHigh = m.lipMotionSmoothed > 2.0 && m.lipMotionSlow > 2.0;

    if (statusResendWanted.exchange(false) || !statusSentLastPass)
        sentStatus = SentStatus();
    statusSentThisPass = true;
    // The receivers only show these: a queued call for an unchanged value is work for nothing.
    auto faceWarning = [&](bool shown) {
        if (std::exchange(sentStatus.faceWarning, int(shown)) == int(shown))
            return;
        if (shown)
            emit app->showFaceNotFound();
        else
            emit app->hideFaceNotFound();
    };
    auto lipsWarning = [&](bool shown) {
        if (std::exchange(sentStatus.lipsWarning, int(shown)) == int(shown))
            return;
        if (shown)
            emit app->showLipsNotClearlyVisible();
        else
            emit app->hideLipsNotClearlyVisible();
    };

    // Each frame starts blank, so the face notifier never shows another notifier's image.
    statusImage =
        FrameLoopRules::faceStatusImage({detected, boxed, m.lipMotionSmoothed, m.lipMotionSlow},
                                        p.SHOW_FACEDET_STATUS, p.SHOW_FACENOTDET_STATUS);
    if (sentStatus.faceImage != statusImage) {
        sentStatus.faceImage = statusImage;
        emit FaceSN_SetImagePath(statusImage);
    }

    if (p.SHOW_ON_SCREEN_MESSAGES && app) {
        if (missing) {
            faceWarning(true);
            lipsWarning(false);
        } else {
            faceWarning(false);
            if (lipsHigh) {
                ++lipsNotVisibleCount;
                if (!isSmileScrolling() && lipsNotVisibleCount > kLipsWarningFrames)
                    lipsWarning(true);
            } else {
                lipsNotVisibleCount = 0;
                lipsWarning(false);
            }
        }
    }

    const QString smileImage =
        (p.SHOW_SMILE_STATUS && p.ACTIVATE_SMILE_DETECTION)
            ? FrameLoopRules::smileStatusImage(frameRecords.metrics.smileLevel, p.SMILE_THRESHOLD)
            : QStringLiteral("invisible.png");
    if (sentStatus.smileImage != smileImage) {
        sentStatus.smileImage = smileImage;
        emit SmileSN_SetImagePath(smileImage);
    }

    if (isSmileScrolling()) {
        const int offset = scrollOffset();
        emit ScrollSN_UpdateScrollParams(scrollSpeedIndex(), offset > 0 ? 1 : offset < 0 ? -1 : 0);
        emit ScrollSN_SetImagePath(FrameLoopRules::scrollStatusImage(offset));
        emit MotionSN_SetImagePath(
            FrameLoopRules::scrollMotionImage(isScrollParked(), scrollParkPercent()));
    }
    if (p.MODE_SWITCH_ONLY)
        emit MotionSN_SetImagePath(QStringLiteral("invisible.png"));
}
