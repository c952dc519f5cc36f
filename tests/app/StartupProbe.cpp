// Runs the whole program's start-up with the camera and the user stood in for, and prints
// what a test needs to see of it. Used by StartupTest, one process per scenario.
//
//   startup-probe [--backend=recording|native] [--camera=ok|fail|file]
//                 [--end=quit|sigterm|sigterm-twice] [--answer=TEXT]... [--save-as=PATH]
//                 [--run-ms=N] [--trace] [--stuck-worker]
//
// --camera=file opens the camera for real (TOVRA_CAMERA_FILE names the clip); --run-ms lets
// the worker run that long before the end, counting previews and status images; --trace
// prints the pointer, the engine state and the click count every 100 ms meanwhile;
// --stuck-worker gives the worker a call that never returns and presses the left button
// again whenever the desktop shows it up (native back ends only), and ends once it pressed.

#include "app/Startup.h"
#include "core/FacialDetectionApp.h"
#include "engine/TrackingParameters.h"
#include "feedback/COnScreenText.h"
#include "platform/InputSynthesis.h"
#include "platform/MouseParameters.h"
#include "platform/Platform.h"
#include "platform/PointerScreens.h"
#include "tests/support/DialogAnswerer.h"
#include "tracking/QTracker.h"

#include <QElapsedTimer>

#include <QApplication>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <csignal>
#include <cstdio>

// Xlib's headers last: their macros clash with Qt's names.
#include <X11/Xlib.h>
#undef None
#undef Bool

namespace {

void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

QString describe(const platform::MouseParameters::Snapshot &s)
{
    return QString("%1/%2 threshold=%3 speed=%4 lines=%5")
        .arg(s.accelNumerator)
        .arg(s.accelDenominator)
        .arg(s.threshold)
        .arg(s.speed)
        .arg(s.wheelLines);
}

// A pass of the worker stuck in a device that never answers, in the middle of a press: it
// presses the left button again whenever the desktop shows it up, and never returns.
[[noreturn]] void keepPressingTheLeftButton(std::atomic<bool> &pressed)
{
    Display *display = XOpenDisplay(nullptr);
    for (;;) {
        Window root = 0, child = 0;
        int rootX = 0, rootY = 0, x = 0, y = 0;
        unsigned mask = 0;
        if (display)
            XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &x,
                          &y, &mask);
        if (!(mask & Button1Mask))
            platform::inputSynthesis().buttonDown(platform::MouseButton::Left);
        pressed = true;
        QThread::usleep(500);
    }
}

bool mainWindowVisible()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->inherits("MainWindow") && w->isVisible())
            return true;
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    QString backend = "recording", camera = "ok", end = "quit", saveAs;
    int runMs = 0;
    bool trace = false, stuckWorker = false;
    std::atomic<bool> stuckPressed{false};
    QStringList answers;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        const QString value = arg.section('=', 1);
        if (arg.startsWith("--backend="))
            backend = value;
        else if (arg.startsWith("--camera="))
            camera = value;
        else if (arg.startsWith("--end="))
            end = value;
        else if (arg.startsWith("--answer="))
            answers << value;
        else if (arg.startsWith("--save-as="))
            saveAs = value;
        else if (arg.startsWith("--run-ms="))
            runMs = value.toInt();
        else if (arg == "--trace")
            trace = true;
        else if (arg == "--stuck-worker")
            stuckWorker = true;
    }
    if (backend == "recording")
        platform::installRecording();

    DialogAnswerer *answerer = nullptr;
    StartupHooks hooks;
    if (camera != "file") {
        hooks.openCamera = [&](QTracker &tracker) {
            return camera == "ok" ? true : tracker.openCamera();
        };
    }
    int previews = 0;
    qint64 firstPreviewMs = -1, lastPreviewMs = -1;
    QStringList faceImages;
    QElapsedTimer running;
    qint64 lastTraceStep = -1;
    hooks.applicationCreated = [&](FacialDetectionApp &app) {
        say("BEFORE " + describe(platform::mouseParameters().snapshot()));
        answerer = new DialogAnswerer(&app);
        for (const QString &answer : answers)
            answerer->enqueue(answer == "save-as" ? DialogAnswerer::chooseFile(saveAs)
                                                  : DialogAnswerer::pressButton(answer));
        QObject::connect(&app, &FacialDetectionApp::NeedAllSettingsReset, [&app] {
            say(QString("RESET mainWindowShown=%1 workerStarted=%2")
                    .arg(mainWindowVisible())
                    .arg(app.tracker && app.tracker->isStarted()));
        });
        QObject::connect(answerer, &DialogAnswerer::seen,
                         [](const QString &title, const QString &) { say("DIALOG " + title); });
        auto *watch = new QTimer(&app);
        QObject::connect(watch, &QTimer::timeout, [&, watch] {
            if (!app.tracker || !app.tracker->isStarted())
                return;
            if (!running.isValid()) {
                running.start();
                say("WORKER_STARTED");
                say("DURING " + describe(platform::mouseParameters().snapshot()));
                QObject::connect(
                    app.tracker, &QTracker::ShowProcessedImage, &app, [&](const cv::Mat &image) {
                        lastPreviewMs = running.elapsed();
                        if (++previews == 1) {
                            firstPreviewMs = lastPreviewMs;
                            say(QString("PREVIEW_SIZE %1x%2").arg(image.cols).arg(image.rows));
                        }
                    });
                QObject::connect(app.tracker, &QTracker::FaceSN_SetImagePath, &app,
                                 [&](const QString &image) { faceImages << image; });
                if (stuckWorker)
                    QMetaObject::invokeMethod(
                        app.tracker, [&] { keepPressingTheLeftButton(stuckPressed); },
                        Qt::QueuedConnection);
            }
            if (trace && running.elapsed() / 100 != lastTraceStep) {
                lastTraceStep = running.elapsed() / 100;
                QPoint at;
                platform::pointerScreens().logicalPointerPosition(&at);
                say(QString("TRACE %1 %2 %3 %4 %5")
                        .arg(running.elapsed())
                        .arg(at.x())
                        .arg(at.y())
                        .arg(pointerSettings.engineEnabled)
                        .arg(app.clickCounter.load()));
            }
            if (running.elapsed() < runMs || (stuckWorker && !stuckPressed))
                return;
            watch->stop();
            QPoint pointer;
            platform::pointerScreens().logicalPointerPosition(&pointer);
            const QRect screen = platform::pointerScreens().logicalPrimaryScreen();
            say(QString("POINTER %1 %2 CENTRE %3 %4")
                    .arg(pointer.x())
                    .arg(pointer.y())
                    .arg(screen.left() + screen.width() / 2)
                    .arg(screen.top() + screen.height() / 2));
            // Frames per second between the first and the last preview.
            const double seconds = (lastPreviewMs - firstPreviewMs) / 1000.0;
            say(QString("PREVIEW_RATE %1")
                    .arg(previews > 1 && seconds > 0 ? (previews - 1) / seconds : 0.0, 0, 'f', 1));
            say(QString("CALIBRATING %1").arg(CalibrationText.isRunning()));
            say("FACE_IMAGE " + faceImages.value(faceImages.size() - 1));
            if (end == "sigterm") {
                std::raise(SIGTERM);
            } else if (end == "sigterm-twice") {
                // The user insists: the second one comes while the first is served.
                std::raise(SIGTERM);
                std::raise(SIGTERM);
            } else {
                QCoreApplication::quit();
            }
        });
        watch->start(10);
    };

    const int code = tovraMain(argc, argv, hooks);
    say(QString("EXIT %1").arg(code));
    say("AFTER " + describe(platform::mouseParameters().snapshot()));
    const bool held = platform::inputSynthesis().isHeld(platform::MouseButton::Left) ||
                      platform::inputSynthesis().isHeld(platform::MouseButton::Right);
    say(QString("HELD %1").arg(held));
    return code == 0 ? 0 : 1;
}
