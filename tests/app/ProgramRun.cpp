#include "tests/app/ProgramRun.h"

#include "core/AppFilePaths.h"
#include "core/FacialDetectionApp.h"
#include "core/SettingsDefaults.h"
#include "core/SettingsKeys.h"
#include "tests/app/DesktopView.h"
#include "tests/support/Patience.h"
#include "ui/ReadyToStartForm.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QSettings>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

using namespace SettingKeys;

ProgramRun::ProgramRun(const QList<QPair<QString, QVariant>> &settings)
{
    FacialDetectionApp *app = FacialDetectionApp::instance();
    for (const SettingsDefaults::Batch &batch : SettingsDefaults::batches())
        app->setSettings(batch);
    app->setSettings({{FIRST_RUN_EVER, 0}, {DWELL_CLICK_TIME, 10000}, {DWELL_ZONE_SIZE, 0}});
    app->setSettings(settings);
    const QString file = settingsFile();
    QDir().mkpath(QFileInfo(file).path());
    QFile::remove(file);
    QFile::copy(AppFilePaths::settingsFile, file);
}

QString ProgramRun::settingsFile() const
{
    return home.filePath(
        QStringLiteral(".local/share/Quillorent Devices/Tovra Mouse/TovraMouse.ini"));
}

QVariant ProgramRun::setting(const char *key) const
{
    return QSettings(settingsFile(), QSettings::IniFormat).value(QString::fromLatin1(key));
}

ProgramRun::~ProgramRun()
{
    if (process.state() != QProcess::NotRunning) {
        process.terminate();
        if (!process.waitForFinished(patientMs(30000))) {
            process.kill();
            process.waitForFinished();
        }
    }
    if (::testing::Test::HasFailure())
        std::fprintf(stderr, "The program's last output lines:\n%s\n", qPrintable(lastOutput()));
}

QString ProgramRun::lastOutput(int lines) const
{
    QFile log(home.filePath(QStringLiteral("program.log")));
    if (!log.open(QIODevice::ReadOnly))
        return QStringLiteral("(no output)");
    const QString text = QString::fromUtf8(log.readAll()).trimmed();
    if (text.isEmpty())
        return QStringLiteral("(no output)");
    const QStringList all = text.split('\n');
    return all.mid(std::max(0, int(all.size()) - lines)).join('\n');
}

bool ProgramRun::waitForEnd(int timeoutMs)
{
    // Waited for with the event loop turning, as everything else here: this process's own
    // windows keep answering the window manager.
    return QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; },
                           patientMs(timeoutMs));
}

QRect ProgramRun::start(DesktopView &desktop, const std::function<void(const QRect &)> &atReady)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home.path());
    env.insert("XDG_CONFIG_HOME", home.filePath(".config"));
    env.insert("XDG_DATA_HOME", home.filePath(".local/share"));
    env.insert("XDG_CACHE_HOME", home.filePath(".cache"));
    env.insert("TOVRA_CAMERA_FILE", clipPath());
    env.remove("QT_QPA_PLATFORM");
    process.setProcessEnvironment(env);
    // Kept in a file, not a pipe: the program never waits on a test that is busy elsewhere.
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardOutputFile(home.filePath(QStringLiteral("program.log")));
    process.start(qEnvironmentVariable("TOVRA_BIN_DIR") + "/TovraMouse", QStringList());
    if (!process.waitForStarted(patientMs(30000))) {
        ADD_FAILURE() << "the program did not start: " << process.errorString().toStdString();
        return QRect();
    }

    // Enter goes to the window with the focus: the camera choice is given it first.
    if (!desktop.activate("Choose Camera"))
        return QRect();
    xdotool({"key", "Return"});
    const QString readyTitle = QStringLiteral("Ready to Start Tovra Mouse?");
    // Its place is read once the window manager has placed it and given it the focus.
    if (!desktop.activate(readyTitle))
        return QRect();
    const QRect ready = desktop.waitForWindow(readyTitle);
    if (ready.isNull())
        return QRect();
    if (atReady)
        atReady(ready);
    // Where its button is: the same form laid out at the same size here.
    ReadyToStartForm readyModel;
    readyModel.setAttribute(Qt::WA_DontShowOnScreen);
    readyModel.resize(ready.size());
    readyModel.show();
    clickAt(ready.topLeft() +
            centreOf(readyModel.findChild<QPushButton *>("m_readyToStartButton"), &readyModel));
    if (!desktop.waitUntilGone(readyTitle))
        return QRect();
    const QRect main = desktop.waitForWindow(mainWindowTitle());
    const QList<unsigned long> ids = desktop.windowIds(mainWindowTitle());
    mainWindowId = ids.isEmpty() ? 0 : ids.first();
    return main;
}

bool ProgramRun::answerQuestion(DesktopView &desktop, const QString &key)
{
    const QString title = mainWindowTitle();
    // Off every window, where a dwell click changes nothing.
    desktop.parkPointer();
    unsigned long shownQuestion = 0;
    const bool shown = QTest::qWaitFor(
        [&] { return (shownQuestion = question(desktop)) != 0; }, patientMs(60000));
    if (!shown) {
        ADD_FAILURE() << "no question over the main window; " << desktop.describe().toStdString();
        return false;
    }
    // The key goes to the window with the focus.
    if (!desktop.activate(shownQuestion))
        return false;
    xdotool({"key", key});
    return desktop.waitUntilGone(title, 1);
}

unsigned long ProgramRun::question(DesktopView &desktop) const
{
    unsigned long found = 0;
    for (unsigned long id : desktop.windowIds(mainWindowTitle()))
        if (id != mainWindowId)
            found = id;
    return found;
}

bool ProgramRun::quit(DesktopView &desktop, const QRect &mainWindow)
{
    Q_UNUSED(mainWindow);
    const auto failed = [&](const char *step) {
        ADD_FAILURE() << "quitting: " << step << "; " << desktop.describe().toStdString();
        return false;
    };
    // A test that started the program its own way has not met its main window yet.
    if (mainWindowId == 0)
        mainWindowId = desktop.windowIds(mainWindowTitle()).value(0);
    if (mainWindowId == 0)
        return failed("no main window");
    if (!desktop.windowIds(mainWindowTitle()).contains(mainWindowId)) {
        ADD_FAILURE() << "quitting: the main window is not shown: "
                      << desktop.describeWindow(mainWindowId).toStdString() << "; "
                      << desktop.describe().toStdString();
        return false;
    }
    // Off every window, where a dwell click changes nothing.
    desktop.parkPointer();
    // The window manager's close key goes to the window with the focus.
    if (!desktop.activate(mainWindowId))
        return false;
    xdotool({"key", "alt+F4"});
    if (!answerQuestion(desktop))
        return false;
    if (!waitForEnd())
        return failed("the program did not end after Enter on the question");
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        ADD_FAILURE() << "the program ended with " << process.exitCode()
                      << (process.exitStatus() == QProcess::NormalExit ? "" : " (crashed)");
        return false;
    }
    return true;
}
