// Runs the whole program's start-up with the camera and the user stood in for, and prints
// what a test needs to see of it. Used by StartupTest, one process per scenario.
//
//   startup-probe [--backend=recording|native] [--camera=ok|fail] [--end=quit|sigterm]
//                 [--answer=TEXT]... [--save-as=PATH]

#include "core/FacialDetectionApp.h"
#include "core/Startup.h"
#include "platform/MouseParameters.h"
#include "platform/Platform.h"
#include "tests/support/DialogAnswerer.h"
#include "tracking/QTracker.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <csignal>
#include <cstdio>

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
    }
    if (backend == "recording")
        platform::installRecording();

    DialogAnswerer *answerer = nullptr;
    StartupHooks hooks;
    hooks.openCamera = [&](QTracker &tracker) {
        return camera == "ok" ? true : tracker.openCamera();
    };
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
        QObject::connect(watch, &QTimer::timeout, [&app, watch, end] {
            if (!app.tracker || !app.tracker->isStarted())
                return;
            watch->stop();
            say("WORKER_STARTED");
            say("DURING " + describe(platform::mouseParameters().snapshot()));
            if (end == "sigterm")
                std::raise(SIGTERM);
            else
                QCoreApplication::quit();
        });
        watch->start(20);
    };

    const int code = tovraMain(argc, argv, hooks);
    say(QString("EXIT %1").arg(code));
    say("AFTER " + describe(platform::mouseParameters().snapshot()));
    return code == 0 ? 0 : 1;
}
