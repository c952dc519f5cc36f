#include "app/Startup.h"

#include "app/DesktopGuardian.h"
#include "app/FatalSignals.h"
#include "app/TerminationWatcher.h"
#include "core/AppFilePaths.h"
#include "core/DebugLog.h"
#include "core/FacialDetectionApp.h"
#include "core/MessageBoxes.h"
#include "core/SavedMouseParameters.h"
#include "core/SettingsFileCheck.h"
#include "core/SettingsKeys.h"
#include "engine/ClickEngine.h"
#include "engine/SyntheticInput.h"
#include "engine/SystemCursorReplacement.h"
#include "feedback/CountdownTimer.h"
#include "feedback/TransparentTextWidget.h"
#include "platform/InputSynthesis.h"
#include "platform/MouseParameters.h"
#include "platform/Platform.h"
#include "platform/Process.h"
#include "platform/SystemCursors.h"
#include "tracking/QTracker.h"
#include "ui/MainWindow.h"
#include "ui/ReadyToStartForm.h"
#include "ui/StartupCameraDialogs.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSplashScreen>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <mutex>
#include <unistd.h>

namespace {

// Everything opened by relative name (images, sounds, model pieces) lies beside the program,
// so launchers and autostart work from any folder.
void enterProgramFolder(const char *argv0)
{
    QString folder = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    if (folder.isEmpty() && argv0)
        folder = QFileInfo(QFile::decodeName(argv0)).absolutePath();
    if (!folder.isEmpty())
        QDir::setCurrent(folder);
}

struct SettingsFileState
{
    bool existed = false;
    bool sound = true;
    bool needAllSettingsReset = false;
    bool hasV3Settings = false;
};

SettingsFileState testSettingsFile()
{
    SettingsFileState state;
    const QString path = AppFilePaths::settingsFile;
    state.existed = QFile::exists(path);
    if (!state.existed) {
        state.needAllSettingsReset = true;
        return state;
    }
    if (checkSettingsFile(path)) {
        state.needAllSettingsReset = isFirstRunOnV3(path);
        state.hasV3Settings = hasHotkeySettings(path);
        backupSettingsFile(path, AppFilePaths::settingsBackupFile);
    } else {
        state.sound = false;
        rejectSettingsFile(path, AppFilePaths::settingsRejectedFile);
        // The defaults replace the user's file: run on the reset defaults like a first run,
        // so the next start does not reset what the user changes in between.
        state.needAllSettingsReset = true;
    }
    return state;
}

// How long the end waits for the worker's thread before it ends without it.
constexpr int WorkerStopWaitMs = 5000;
// How long an end without the worker and without a guardian waits for the worker's lock.
constexpr int TrackerLockWaitMs = 500;
// How long a start waits for another run that is ending, and shows that one still runs.
constexpr int OtherRunEndWaitMs = 3000;
constexpr int OtherRunNoticeMs = 8000;

// Another run of the user's lives: this start ends without changing anything (two runs would
// fight over the camera and the pointer, and the second would take the first one's mouse
// settings for the user's). It says so in a box that closes by itself: the user may have no
// hands to close it.
int endBesideAnotherRun(int argc, char **argv)
{
    std::fprintf(stderr, "Tovra Mouse is already running; this start ends without changing "
                         "anything\n");
    QApplication application(argc, argv);
    QMessageBox box(QMessageBox::Information, QStringLiteral("Tovra Mouse"),
                    QObject::tr("Tovra Mouse is already running.\n\nThis start ends without "
                                "changing anything; this message closes by itself."),
                    QMessageBox::Ok);
    // The running one's click-options window stays on top: the box would open under it.
    box.setWindowFlags(box.windowFlags() | Qt::WindowStaysOnTopHint);
    QTimer::singleShot(OtherRunNoticeMs, &box, &QDialog::accept);
    box.exec();
    return AnotherRunExit;
}

// The tracker whose worker may still press, for an end that cannot wait for it; guarded by
// its mutex, which such an end holds for all it does, so the tracker outlives it.
std::mutex pressingTrackerMutex;
QTracker *pressingTracker = nullptr;

void setPressingTracker(QTracker *tracker)
{
    std::lock_guard<std::mutex> lock(pressingTrackerMutex);
    pressingTracker = tracker;
}

// For an end while the worker may still run and no guardian will put the desktop back: lets
// go under the tracker's lock, which the worker then never gets back before the process ends,
// so it cannot press again. A worker stuck in a pass keeps the lock, and what it holds.
void letGoWithoutGuardian(const SavedMouseParameters &saved)
{
    {
        std::lock_guard<std::mutex> lock(pressingTrackerMutex);
        if (pressingTracker && pressingTracker->TryLock(TrackerLockWaitMs)) {
            releaseHeldInput();
            restoreSystemCursors();
        }
    }
    if (saved.saved && saved.mouse.valid)
        platform::mouseParameters().restore(saved.mouse);
}

// The worker did not stop (stuck in a device that never answers): the process ends now,
// without it and without telling the guardian of a clean end. The guardian puts the desktop
// back once the process is gone and nothing can press any more; only without one does this
// thread let go itself.
[[noreturn]] void endWithoutTheWorker(const SavedMouseParameters &saved, int result)
{
    const bool guarded = DesktopGuardian::running();
    qWarning("The tracker did not end; the program ends without it%s",
             guarded ? " and its guardian puts the desktop back" : "");
    if (!guarded)
        letGoWithoutGuardian(saved);
    closeDebugLog();
    std::fflush(nullptr);
    ::_exit(result);
}

// Puts the mouse settings back on every way out once they were changed.
struct MouseParametersGuard
{
    SavedMouseParameters saved;
    ~MouseParametersGuard() { restoreMouseParameters(saved); }
};

// A run that did not end cleanly may have left the desktop's cursors replaced: they are put
// back whether or not this run replaces any.
void restoreCursorsAfterUncleanEnd()
{
    qWarning("The last run of Tovra Mouse did not end cleanly; the desktop's cursors are put "
             "back");
    using Shape = platform::SystemCursors::Shape;
    for (Shape shape : {Shape::Arrow, Shape::Cross, Shape::Hand, Shape::IBeam})
        platform::systemCursors().restore(shape);
}

} // namespace

int tovraMain(int argc, char **argv, const StartupHooks &hooks)
{
    // Tests may have installed their own back ends already.
    if (platform::installedBackend() == platform::Backend::None)
        platform::installDefault();
    enterProgramFolder(argc > 0 ? argv[0] : nullptr);

    platform::process().raisePriority();
    qputenv("QT_AUTO_SCREEN_SCALE_FACTOR", "1");

    initDataFolder();
    // Before anything is changed, the debug log included.
    if (!DesktopGuardian::claimRun(AppFolders::dataFolder, OtherRunEndWaitMs))
        return endBesideAnotherRun(argc, argv);
    openDebugLog(AppFilePaths::debugLogFile);
    initFileLocations();

    const SettingsFileState file = testSettingsFile();

    auto app = std::make_unique<FacialDetectionApp>(argc, argv);
    app->versionText = QStringLiteral("v3.1.3.2");
    // The input service works in physical pixels; tell it how logical ones map onto them.
    syncDevicePixelRatio();
    QObject::connect(app.get(), &QGuiApplication::primaryScreenChanged, app.get(),
                     [] { syncDevicePixelRatio(); });
    TerminationWatcher termination;
    // Until the main window runs the quit sequence, a termination request just ends the run.
    QMetaObject::Connection terminationQuits =
        QObject::connect(&termination, &TerminationWatcher::terminationRequested, app.get(),
                         &QCoreApplication::quit);
    if (hooks.applicationCreated)
        hooks.applicationCreated(*app);

    if (!file.sound) {
        showMessageBox(QMessageBox::Information, QObject::tr("Configuration File Issues"),
                       QObject::tr("There was a problem reading the configuration file or with "
                                   "its content!\n\nDo not worry, we have fixed it for you so "
                                   "that you can continue using Tovra Mouse"));
    }

    if (file.needAllSettingsReset && file.existed && file.sound && !file.hasV3Settings) {
        migrateOldSettingsFile();
        closeDebugLog();
        return SettingsMigratedExit;
    }

    auto splash = std::make_unique<QSplashScreen>(QPixmap(QStringLiteral("splash.png")));
    auto countdown =
        std::make_unique<CountdownTimer>(nullptr, 60000, 0, 0, 200, 10, QColor(Qt::blue));
    auto notice = std::make_unique<TransparentTextWidget>(
        nullptr, QStringLiteral("Default Text"), QColor(Qt::white),
        QFont(QStringLiteral("Arial"), 15), QColor(Qt::black), 127, 500, 500);

    StartupCameraDialogs cameraDialogs;
    auto tracker = std::make_unique<QTracker>();
    tracker->setCameraDialogs(&cameraDialogs);
    const bool cameraOpen = hooks.openCamera ? hooks.openCamera(*tracker) : tracker->openCamera();
    if (!cameraOpen) {
        tracker.reset();
        closeDebugLog();
        return NoCameraExit;
    }

    // A missing splash image only means no splash.
    if (!splash->pixmap().isNull()) {
        splash->show();
        QCoreApplication::processEvents();
    }

    if (!tracker->createFaceTracker()) {
        // Never track with half a model: say which file is wrong and stop.
        splash->close();
        showMessageBox(QMessageBox::Critical, QObject::tr("Face Model Error"),
                       tracker->errorString());
        tracker.reset();
        closeDebugLog();
        return FaceModelExit;
    }
    app->tracker = tracker.get();

    // Before the desktop is changed: whatever this run leaves behind, crashed or killed, the
    // guardian puts back.
    if (DesktopGuardian::markRun(AppFolders::dataFolder)) {
        restoreCursorsAfterUncleanEnd();
        // Nothing has used the click options yet: this run starts as after a clean end, with
        // no drag armed by the run that ended holding one.
        app->storeClickOptionsOfAnEnd();
        app->setClickingActive(true);
    }
    DesktopGuardian::start(QCoreApplication::applicationDirPath());
    installFatalSignalHandlers();
    setPressingTracker(tracker.get());

    MouseParametersGuard mouse;
    saveAndOverrideMouseParameters(mouse.saved);
    // Ended at once by a second signal while the worker may still run: the guardian puts the
    // desktop back once the process is gone, as after a crash; without one, this lets go
    // of what it can (a copy of the settings: this frame may be gone by then).
    termination.setLastResort([saved = mouse.saved] {
        if (!DesktopGuardian::running())
            letGoWithoutGuardian(saved);
    });

    tracker->applyChangedSettings(true);

    auto mainWindow = std::make_unique<MainWindow>();
    mainWindow->show();
    QObject::connect(app.get(), &FacialDetectionApp::togglePlayButton, mainWindow.get(),
                     &MainWindow::onTogglePlayButton);
    QObject::connect(app.get(), &FacialDetectionApp::toggleSmileDwell, mainWindow.get(),
                     &MainWindow::onToggleSmileDwell);

    if (file.needAllSettingsReset) {
        // The choices made in the start-up dialogs a moment ago outlive the reset that follows
        // them: a user told that the camera dialog will close by itself expects it to.
        const QList<QPair<QString, QVariant>> chosen = {
            {QString::fromLatin1(SettingKeys::CCF_AUTOCLOSE),
             app->getSetting(SettingKeys::CCF_AUTOCLOSE)},
            {QString::fromLatin1(SettingKeys::DEFAULT_CAMERA),
             app->getSetting(SettingKeys::DEFAULT_CAMERA)}};
        emit app->NeedAllSettingsReset();
        app->setSettings(chosen);
    }

    splash->finish(mainWindow.get());
    mainWindow->activateWindow();
    mainWindow->raise();

    auto readyForm = std::make_unique<ReadyToStartForm>();
    if (app->getSetting(SettingKeys::RTSF_AUTOCLOSE).toInt() != 0)
        QTimer::singleShot(5000, readyForm.get(), &QWidget::close);
    // A termination request while the question is open ends the question, then the run.
    QObject::connect(&termination, &TerminationWatcher::terminationRequested, readyForm.get(),
                     &QWidget::close);
    readyForm->exec();

    int result = 0;
    if (!termination.requested()) {
        // Ended by the session (a logout) the program ends as Exit ends it, without the
        // question: window places saved, drag and pause states reset for the next start.
        QObject::disconnect(terminationQuits);
        QObject::connect(&termination, &TerminationWatcher::terminationRequested, mainWindow.get(),
                         &MainWindow::quitWithoutAsking);
        tracker->Start();
        result = QCoreApplication::exec();
    }

    // However the loop ended (the quit sequence, a signal), the worker is stopped before the
    // desktop is put back, and nothing it pressed stays down. A worker that does not end
    // (stuck in a device that never answers) does not hold the desktop back: the guardian
    // puts it back. Everything else would wait for the worker: the settings are on disk.
    if (!tracker->Stop(WorkerStopWaitMs))
        endWithoutTheWorker(mouse.saved, result);
    // The worker has stopped, so nothing can press any more: only now is the end clean. Under
    // the tracker's lock, as a last resort taken meanwhile lets go under it too.
    tracker->Lock();
    releaseHeldInput();
    restoreSystemCursors();
    tracker->Unlock();
    restoreMouseParameters(mouse.saved);
    DesktopGuardian::endCleanly();

    readyForm.reset();
    mainWindow.reset();
    app->tracker = nullptr;
    setPressingTracker(nullptr);
    tracker.reset();
    notice.reset();
    countdown.reset();
    splash.reset();
    closeDebugLog();
    return result;
}
