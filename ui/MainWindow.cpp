#include "ui/MainWindow.h"

#include "core/FacialDetectionApp.h"
#include "core/SettingsKeys.h"
#include "core/WindowFit.h"
#include "engine/ClickEngine.h"
#include "engine/SystemCursorReplacement.h"
#include "engine/TrackingParameters.h"
#include "feedback/StateNotifier.h"
#include "platform/Platform.h"
#include "platform/PointerScreens.h"
#include "platform/Process.h"
#include "tracking/QTracker.h"
#include "ui/QPreviewWindow.h"
#include "ui_MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDebug>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QTimer>

using namespace SettingKeys;

namespace {

// Set by the play/pause hotkey just before it stops processing: that stop asks nothing.
bool stopWithoutAsking = false;

const char InvisibleImage[] = "invisible.png";
// How long the worker gets to end its loop: a camera that hangs costs it at most one grab's
// wait, which this is well above.
const int TrackerEndWaitMs = 3000;
// Then the worker's thread gets this long to end before the program goes on without it.
const int TrackerStopWaitMs = 5000;
const int FrameWaitMs = 1000;

FacialDetectionApp *app()
{
    return FacialDetectionApp::instance();
}

QTracker *currentTracker()
{
    FacialDetectionApp *application = app();
    return application ? application->tracker : nullptr;
}

int intSetting(const char *key)
{
    FacialDetectionApp *application = app();
    return application ? application->getSetting(QString::fromLatin1(key)).toInt() : 0;
}

void store(const char *key, const QVariant &value)
{
    if (FacialDetectionApp *application = app())
        application->setSetting(QString::fromLatin1(key), value);
}

// Shows a window far off the screen and lets the window manager frame it, so that its frame is
// known before it is placed. A window manager frames a window in its own time after it is
// mapped; without one there is no frame to wait for.
void showParked(QWidget *window)
{
    window->move(-1000, -1000);
    window->show();
    QCoreApplication::processEvents();
    QElapsedTimer waited;
    waited.start();
    while (window->frameGeometry().size() == window->size() && waited.elapsed() < FrameWaitMs) {
        QThread::msleep(5);
        QCoreApplication::processEvents();
    }
}

QRect primaryScreen()
{
    const QRect screen = platform::pointerScreens().logicalPrimaryScreen();
    if (!screen.isEmpty())
        return screen;
    QScreen *qtScreen = QGuiApplication::primaryScreen();
    return qtScreen ? qtScreen->geometry() : QRect(0, 0, 1024, 768);
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , settings(nullptr)
{
    Q_INIT_RESOURCE(icons);
    ui->setupUi(this);

    QTracker *tracker = currentTracker();
    if (tracker)
        connectTracker(tracker);
    connect(ui->settingsButton, &QPushButton::clicked, this, &MainWindow::onSettingsClicked);
    connect(ui->calibrateButton, &QPushButton::clicked, this, &MainWindow::onCalibrateClicked);
    connect(ui->playButton, &QPushButton::toggled, this, &MainWindow::onPlayPauseClicked);
    connect(ui->exitButton, &QPushButton::clicked, this, &MainWindow::onExitClicked);
    connect(&settings, &SettingsWindow::toggleMainWindowVisibility, this,
            &MainWindow::onToggleVisibility);

    const int clickMode = intSetting(CLICK_MODE);
    if (clickMode == 0)
        ui->faceClickButton->setChecked(true);
    else if (clickMode == 1)
        ui->dwellClickButton->setChecked(true);
    const int motionMode = intSetting(MOTION_MODE);
    if (motionMode == 0)
        ui->motionWithSmileButton->setChecked(true);
    else if (motionMode == 1)
        ui->motionAlwaysButton->setChecked(true);

    // A new main window always starts with processing running.
    ui->playButton->setChecked(true);

    connect(ui->faceClickButton, &QPushButton::clicked, this, &MainWindow::onFaceClickClicked);
    connect(ui->dwellClickButton, &QPushButton::clicked, this, &MainWindow::onDwellClickClicked);
    connect(ui->motionWithSmileButton, &QPushButton::clicked, this,
            &MainWindow::onMotionWithSmileClicked);
    connect(ui->motionAlwaysButton, &QPushButton::clicked, this,
            &MainWindow::onMotionAlwaysClicked);
    connect(ui->showHideButton, &QPushButton::toggled, this, &MainWindow::onShowHideToggled);
    connect(ui->previewFrame, &QPreviewWindow::onDoubleClick, this,
            &MainWindow::onPreviewDoubleClicked);

    ui->showHideButton->setChecked(intSetting(FULL_SCREEN_MODE_ON) != 0);
    ui->previewFrame->setPanScanEnabled(intSetting(ENABLE_PAN_SCAN) != 0);

    FacialDetectionApp *application = app();
    if (application) {
        // The window itself is the context: a change stored on the worker thread arrives
        // through this thread's event queue, and nothing arrives once the window is gone.
        connect(application, &FacialDetectionApp::SettingsChanged, this,
                &MainWindow::onAppSettingsChanged);
    }

    setUpNotifiers(tracker);

    if (application) {
        application->restoreWidgetGeometry(this);
        application->restoreWidgetGeometry(&settings.clickOptionsWindow);
        application->restoreWidgetGeometry(&settings.clickPause);
        if (intSetting(FIRST_RUN_EVER) != 0) {
            placeWindowsForFirstRun();
            store(FIRST_RUN_EVER, 0);
        }
    }

    setWindowTitle(QStringLiteral("Tovra Mouse ") + QStringLiteral("- ") +
                   (application ? application->versionText : QString()));
    keepInWorkAreaWhenResized(this);
}

MainWindow::~MainWindow()
{
    delete ui;
}

void MainWindow::connectTracker(QTracker *tracker)
{
    // The tracker lives on the worker thread: its signals arrive queued, frames included.
    qRegisterMetaType<cv::Mat>("cv::Mat");
    connect(tracker, &QTracker::ShowProcessedImage, ui->previewFrame,
            &QPreviewWindow::OnShowProcessedImage);
    connect(ui->previewFrame, &QPreviewWindow::onScreenChanged, tracker, &QTracker::setPreviewShown,
            Qt::DirectConnection);
    connect(this, &MainWindow::MainWindowClosing, tracker, &QTracker::onMainWindowClosing);
    connect(tracker, &QTracker::TrackerProcessCompleted, this,
            &MainWindow::onTrackerProcessCompleted);
    connect(tracker, &QTracker::HideUponCalibrationCompleted, this,
            &MainWindow::onHideUponCalibrationCompleted);
}

void MainWindow::setUpNotifiers(QTracker *tracker)
{
    MotionSN.setImagePath(InvisibleImage);
    MotionSN.OnSN_SetSize(200, 200);
    MotionSN.OnSN_SetDelta(-100, -100);
    MotionSN.setKeepOnScreen(false);
    MotionSN.moveToPointer();

    FaceSN.setImagePath(InvisibleImage);
    FaceSN.OnSN_SetSize(25, 25);
    FaceSN.OnSN_SetDelta(33, 33);
    FaceSN.moveToPointer();

    SmileSN.setImagePath(InvisibleImage);
    SmileSN.OnSN_SetSize(10, 25);
    SmileSN.OnSN_SetDelta(63, 33);
    SmileSN.moveToPointer();

    ScrollSN.setImagePath(InvisibleImage);
    ScrollSN.OnSN_SetSize(25, 25);
    ScrollSN.OnSN_SetDelta(0, 0);
    ScrollSN.moveToPointer();

    if (!tracker)
        return;
    connect(tracker, &QTracker::MotionSN_SetDelta, &MotionSN, &StateNotifier::OnSN_SetDelta);
    connect(tracker, &QTracker::MotionSN_SetSize, &MotionSN, &StateNotifier::OnSN_SetSize);
    connect(tracker, &QTracker::MotionSN_SetImagePath, &MotionSN,
            &StateNotifier::OnSN_SetImagePath);
    connect(tracker, &QTracker::MotionSN_UpdateMousePosition, &MotionSN,
            &StateNotifier::OnSN_UpdateMousePosition);
    connect(tracker, &QTracker::FaceSN_SetImagePath, &FaceSN, &StateNotifier::OnSN_SetImagePath);
    connect(tracker, &QTracker::FaceSN_UpdateMousePosition, &FaceSN,
            &StateNotifier::OnSN_UpdateMousePosition);
    connect(tracker, &QTracker::SmileSN_SetImagePath, &SmileSN, &StateNotifier::OnSN_SetImagePath);
    connect(tracker, &QTracker::SmileSN_UpdateMousePosition, &SmileSN,
            &StateNotifier::OnSN_UpdateMousePosition);
    connect(tracker, &QTracker::ScrollSN_SetImagePath, &ScrollSN,
            &StateNotifier::OnSN_SetImagePath);
    connect(tracker, &QTracker::ScrollSN_UpdateScrollParams, &ScrollSN,
            &StateNotifier::OnSN_UpdateScrollParams);
}

// The click-options window stands at the right edge of the work area and the main window
// directly left of it, both centred vertically; the settings window waits minimised at the left
// edge, and the click-pause window hidden at the bottom right. Each of them with its whole frame
// (the window manager's borders and title bar) inside the work area.
void MainWindow::placeWindowsForFirstRun()
{
    const QRect screen = primaryScreen();
    const int screenHeight = screen.height();
    QRect workArea = logicalWorkArea();
    if (workArea.isEmpty())
        workArea = screen;
    const int rightEdge = workArea.x() + workArea.width();
    // The top of a window centred on the screen, its frame inside the work area.
    auto centredTop = [&](int height, int frameHeight) {
        const int top = screen.y() + screenHeight / 2 - height / 2;
        return qMax(workArea.y(), qMin(top, workArea.y() + workArea.height() - frameHeight));
    };

    // Shown off screen first, so that its frame is known before it is placed.
    ClickOptionsWindow &options = settings.clickOptionsWindow;
    options.adjustSize();
    showParked(&options);
    // The window manager frames every window alike: the palette's frame tells the others'.
    const QSize decoration = options.frameGeometry().size() - options.size();
    // Sizes as asked for, not as the toolkit last heard them: on a busy desktop the window
    // manager's answer to the parking, with the size before, may come after a resize.
    QSize optionsSize = options.size();
    if (optionsSize.height() + decoration.height() < 460) {
        options.resize(optionsSize.width() + decoration.width(), 485);
        options.adjustSize();
        optionsSize = options.size();
        QCoreApplication::processEvents();
    }
    // On a screen scaled up the palette as designed is taller than the work area: smaller, in
    // its own proportion.
    const int optionsRoom = workArea.height() - decoration.height();
    if (optionsSize.height() > optionsRoom && optionsRoom > 0) {
        optionsSize = QSize(optionsSize.width() * optionsRoom / optionsSize.height(), optionsRoom);
        options.resize(optionsSize);
        QCoreApplication::processEvents();
    }
    const int optionsFrameWidth = optionsSize.width() + decoration.width();
    // The others are placed from where the palette is meant to stand, not from where the
    // toolkit last heard it is: on a busy desktop the window manager's own placement of the
    // parked palette may still be on its way after this move.
    const QPoint optionsAt(
        rightEdge - optionsFrameWidth,
        centredTop(optionsSize.height(), optionsSize.height() + decoration.height()));
    options.resize(optionsSize);
    options.move(optionsAt);
    placedOnPurpose(&options);
    options.show();

    // As designed where the room left of the palette and the work area allow.
    adjustSize();
    const int roomLeft = optionsAt.x() - workArea.x() - decoration.width();
    const QSize least = minimumSizeHint();
    const QSize designed(qMin(qMax(920, least.width()), roomLeft),
                         qMin(620, workArea.height() - decoration.height()));
    if (least.width() > designed.width() || least.height() > designed.height())
        setMinimumSize(least.boundedTo(designed));
    resize(designed);
    QCoreApplication::processEvents();
    // Asked again: a late answer of the window manager may have brought back the size before.
    resize(designed);
    move(optionsAt.x() - designed.width() - decoration.width(),
         centredTop(designed.height(), designed.height() + decoration.height()));
    show();

    settings.adjustSize();
    showParked(&settings);
    // Wide enough for every page, where there is room left of the palette.
    settings.fitToPages(optionsAt.x() - workArea.x() - decoration.width(), true);
    settings.move(workArea.x(),
                  centredTop(settings.height(), settings.height() + decoration.height()));
    placedOnPurpose(&settings);
    settings.showMinimized();

    // As wide and as high as the click-options window is wide, its frame on the bottom of the
    // work area: where a panel sits, the window stands above it.
    ClickPause &pause = settings.clickPause;
    pause.resize(optionsFrameWidth, optionsFrameWidth);
    showParked(&pause);
    pause.move(rightEdge - pause.frameGeometry().width(),
               workArea.y() + workArea.height() - pause.frameGeometry().height());
    pause.hide();
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // Restored before it was framed, its place is checked again with the frame.
    fitToWorkAreaOnceFramed(this);
}

void MainWindow::onTrackerProcessCompleted()
{
    emit TrackerProcessCompleted();
}

void MainWindow::onHideUponCalibrationCompleted()
{
    setWindowState(Qt::WindowMinimized);
}

void MainWindow::onTogglePlayButton()
{
    if (ui->playButton->isChecked()) {
        stopWithoutAsking = true;
        ui->tempStopButton->click();
    } else {
        ui->playButton->click();
    }
}

void MainWindow::onToggleVisibility()
{
    if (isMinimized()) {
        showNormal();
        activateWindow();
    } else if (isVisible()) {
        showMinimized();
    } else {
        show();
        activateWindow();
    }
}

void MainWindow::onToggleSmileDwell()
{
    if (ui->faceClickButton->isChecked())
        ui->dwellClickButton->click();
    else
        ui->faceClickButton->click();
}

void MainWindow::onSettingsClicked()
{
    settings.showNormal();
    settings.raise();
    settings.activateWindow();
}

void MainWindow::onExitClicked()
{
    closeEvent(nullptr);
}

void MainWindow::onCalibrateClicked()
{
    // Every change of the key starts a tracking session with calibration on the worker.
    store(CALIBRATE_REQUESTED, 1 - intSetting(CALIBRATE_REQUESTED));
}

void MainWindow::onPlayPauseClicked()
{
    QTracker *tracker = currentTracker();
    if (ui->playButton->isChecked()) {
        if (tracker)
            tracker->setPaused(false);
        return;
    }
    if (stopWithoutAsking) {
        if (tracker)
            tracker->setPaused(true);
        MotionSN.OnSN_SetImagePath(InvisibleImage);
        stopWithoutAsking = false;
        return;
    }
    const bool stop = askYesNo(
        tr("Are you sure you want to temporarily stop all Tovra Mouse functions?\n\nOnce "
           "stopped, you will not be able to restart Tovra Mouse processing without using a "
           "physical mouse or touchpad."));
    // Play pressed again (by the hotkey) while the question was open: processing goes on.
    if (ui->playButton->isChecked())
        return;
    if (!stop) {
        ui->playButton->setChecked(true);
        ui->tempStopButton->setChecked(false);
        return;
    }
    if (tracker)
        tracker->setPaused(true);
    QTimer::singleShot(200, this, &MainWindow::hideNotifierImages);
    FacialDetectionApp *application = app();
    if (!application)
        return;
    if (application->oswExternalMouseMoveShown)
        emit application->hideExternalMouseMoveDetected();
    if (application->oswAutoCenterShown)
        emit application->hideAutoCenter();
    if (application->oswHHSShown)
        emit application->hideHHS();
    emit application->hideFaceNotFound();
    emit application->hideLipsNotClearlyVisible();
}

void MainWindow::onAppSettingsChanged()
{
    FacialDetectionApp *application = app();
    if (!application)
        return;
    application->mainWindowUpdating = true;
    ui->previewFrame->setPanScanEnabled(intSetting(ENABLE_PAN_SCAN) != 0);
    // Each pair is an exclusive group: checking one button moves the check off the other.
    const int clickMode = intSetting(CLICK_MODE);
    ui->faceClickButton->setChecked(clickMode == 0);
    ui->dwellClickButton->setChecked(clickMode != 0);
    const int motionMode = intSetting(MOTION_MODE);
    ui->motionWithSmileButton->setChecked(motionMode == 0);
    ui->motionAlwaysButton->setChecked(motionMode != 0);
    application->mainWindowUpdating = false;
}

void MainWindow::applySmileSettings()
{
    store(CLICK_MODE, 0);
    store(ACTIVATE_SMILE_DETECTION, true);
    store(FEMAP_INDEX_SMILE, 1);
    startFirstTrackingSession();
}

void MainWindow::startFirstTrackingSession()
{
    QTracker *tracker = currentTracker();
    if (!tracker)
        return;
    // Whether a session already ran is the engine's to know: look and start on the worker,
    // so that two quick clicks cannot start two sessions.
    QMetaObject::invokeMethod(
        tracker,
        [tracker] {
            if (clickOptionState.trackingSessionStarted != 0)
                return;
            QMetaObject::invokeMethod(tracker, "startTrackingSession", Qt::DirectConnection,
                                      Q_ARG(bool, true));
            clickOptionState.trackingSessionStarted = 1;
        },
        Qt::QueuedConnection);
}

void MainWindow::onFaceClickClicked(bool checked)
{
    if (checked)
        applySmileSettings();
}

void MainWindow::onDwellClickClicked(bool checked)
{
    if (!checked)
        return;
    if (intSetting(MOTION_MODE) == 0) {
        QMessageBox::information(
            this, windowTitle(),
            tr("Smiles are not processed in Dwell Click mode.\n\nGiven that you are currently in "
               "Mouse Motion Mode of \"With Smile\", the requested action is incompatible with "
               "it and therefore not allowed.\n\nPlease set the Mouse Motion Mode to \"Always\" "
               "to utilise Dwell Clicking."),
            QMessageBox::Ok, QMessageBox::NoButton);
        ui->dwellClickButton->setChecked(false);
        ui->faceClickButton->setChecked(true);
        return;
    }
    store(CLICK_MODE, 1);
    // A smile that clicks a button has no place in dwell clicking; a key or pointer
    // command stays mapped.
    const int smileAction = intSetting(FEMAP_INDEX_SMILE);
    if (smileAction == 1 || smileAction == 2)
        store(FEMAP_INDEX_SMILE, 0);
    queueToTracker("restoreSystemCursors");
    queueToTracker("resetGestureState");
}

void MainWindow::onMotionWithSmileClicked(bool checked)
{
    if (!checked)
        return;
    if (intSetting(CLICK_MODE) != 0) {
        QMessageBox::information(
            this, windowTitle(),
            tr("Smiles are not processed in Dwell Click mode.\n\nGiven that you are currently in "
               "Dwell Click mode, the requested action is incompatible with it and therefore "
               "not allowed.\n\nPlease set the Click Mode to \"Smile\" and retry."),
            QMessageBox::Ok, QMessageBox::NoButton);
        ui->motionWithSmileButton->setChecked(false);
        ui->motionAlwaysButton->setChecked(true);
        MotionSN.OnSN_SetImagePath(InvisibleImage);
        return;
    }
    const bool smileClicksLeft =
        intSetting(ACTIVATE_SMILE_DETECTION) != 0 && intSetting(FEMAP_INDEX_SMILE) == 1;
    if (!smileClicksLeft) {
        if (!askYesNo(tr("Choosing this Motion Mode will activate Smile detection and map your "
                         "Smile to Left Click.\n\nAre you sure you would like to proceed?"))) {
            ui->motionWithSmileButton->setChecked(false);
            ui->motionAlwaysButton->setChecked(true);
            return;
        }
        store(ACTIVATE_SMILE_DETECTION, 1);
        store(FEMAP_INDEX_SMILE, 1);
    }
    store(MOTION_MODE, 0);
    if (intSetting(GREEN_TIMER) <= 0) {
        QMessageBox note(QMessageBox::Information, tr("Note"),
                         tr("In this Mouse Motion mode, the mouse will move only if you smile "
                            "when you start moving your head.\n\n") +
                             tr("Note: \nIn this mode, you also have the option of invoking "
                                "Scroll or Drag commands ") +
                             tr("based on how long you hold your smile while keeping your head "
                                "steady. \n\n") +
                             tr("See the Settings Window -> Gestures tab for more details."),
                         QMessageBox::NoButton, nullptr);
        note.setDefaultButton(note.addButton(tr("Ok"), QMessageBox::AcceptRole));
        note.exec();
        // Shown once, until the timer is set to 0 or less again.
        store(GREEN_TIMER, 1200);
    }
    MotionSN.OnSN_SetImagePath(InvisibleImage);
}

void MainWindow::onMotionAlwaysClicked(bool checked)
{
    if (!checked)
        return;
    store(GREEN_TIMER, 1000);
    store(YELLOW_TIMER, 1000);
    store(RED_TIMER, 3000);
    store(MOTION_MODE, 1);
}

void MainWindow::onShowHideToggled(bool checked)
{
    ui->settingsFrame->setVisible(!checked);
    store(FULL_SCREEN_MODE_ON, checked ? 1 : 0);
}

void MainWindow::onPreviewDoubleClicked()
{
    store(ENABLE_PAN_SCAN, 0);
}

void MainWindow::hideNotifierImages()
{
    QTracker *tracker = currentTracker();
    if (!tracker)
        return;
    emit tracker->ScrollSN_SetImagePath(InvisibleImage);
    emit tracker->MotionSN_SetImagePath(InvisibleImage);
    emit tracker->SmileSN_SetImagePath(InvisibleImage);
}

void MainWindow::queueToTracker(const char *method)
{
    QTracker *tracker = currentTracker();
    if (tracker && !QMetaObject::invokeMethod(tracker, method, Qt::QueuedConnection))
        qWarning() << "The tracker does not take the request" << method;
}

bool MainWindow::askYesNo(const QString &text)
{
    return QMessageBox::question(this, windowTitle(), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::NoButton) == QMessageBox::Yes;
}

bool MainWindow::waitForTrackerToFinish(int timeoutMs)
{
    QEventLoop loop;
    bool finished = false;
    connect(this, &MainWindow::TrackerProcessCompleted, &loop, [&] {
        finished = true;
        loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return finished;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // The sequence runs once: a second close or Exit while it runs changes nothing.
    if (quitInProgress) {
        if (event)
            event->ignore();
        return;
    }
    quitInProgress = true;
    // The session ending while the question is open answers it.
    if (!askYesNo(tr("Are you sure you want to quit?           ")) && !endRequested) {
        quitInProgress = false;
        if (event)
            event->ignore();
        return;
    }
    runQuitSequence();
    if (event)
        event->accept();
}

void MainWindow::quitWithoutAsking()
{
    endRequested = true;
    if (quitInProgress) {
        // Either the sequence runs already, or its question is open: close the question.
        if (QWidget *question = QApplication::activeModalWidget())
            question->close();
        return;
    }
    quitInProgress = true;
    runQuitSequence();
}

void MainWindow::runQuitSequence()
{
    FacialDetectionApp *application = app();
    if (application) {
        application->saveWidgetGeometry(this);
        application->saveWidgetGeometry(&settings.clickOptionsWindow);
        application->saveWidgetGeometry(&settings.clickPause);
    }
    QThread::msleep(250);
    settings.close();
    queueToTracker("restoreSystemCursors");
    emit MainWindowClosing();

    // The worker lets go of what its engine holds as its loop ends. Nothing here touches that
    // while the worker may still run: a press it made after a release from here would stay
    // down.
    QTracker *tracker = currentTracker();
    if (tracker)
        waitForTrackerToFinish(TrackerEndWaitMs);
    if (application)
        application->storeClickOptionsOfAnEnd();
    // A worker stuck in a call that never returns is left alone; its camera is closed only
    // once it has ended (closing waits for the worker's lock). Start-up's end then leaves the
    // desktop to the guardian.
    const bool workerEnded = !tracker || tracker->Stop(TrackerStopWaitMs);
    if (workerEnded) {
        if (tracker)
            tracker->closeCamera();
        // With the worker gone nothing can press again: no button, key or replaced cursor
        // outlives the program, whether or not the loop got to clean up. Under the tracker's
        // lock, as the last resort of a second termination signal lets go under it too.
        if (tracker)
            tracker->Lock();
        releaseHeldInput();
        ::restoreSystemCursors();
        if (tracker)
            tracker->Unlock();
    } else {
        qWarning("The tracker did not end; the program ends without waiting for it");
    }

    QTimer::singleShot(250, QCoreApplication::instance(), &QCoreApplication::quit);
}
