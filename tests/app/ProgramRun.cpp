#include "tests/app/ProgramRun.h"

#include "core/AppFilePaths.h"
#include "core/FacialDetectionApp.h"
#include "core/SettingsDefaults.h"
#include "core/SettingsKeys.h"
#include "tests/app/DesktopView.h"
#include "ui/ReadyToStartForm.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QSettings>

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
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(qEnvironmentVariable("TOVRA_BIN_DIR") + "/TovraMouse", QStringList());
    if (!process.waitForStarted())
        return QRect();

    if (desktop.waitForWindow("Choose Camera").isNull())
        return QRect();
    xdotool({"key", "Return"});
    const QRect ready = desktop.waitForWindow("Ready to Start Tovra Mouse?");
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
    if (!desktop.waitUntilGone("Ready to Start Tovra Mouse?"))
        return QRect();
    return desktop.waitForWindow(mainWindowTitle());
}

bool ProgramRun::quit(DesktopView &desktop, const QRect &mainWindow)
{
    // A click gives the main window the focus, then the window manager's close key.
    xdotool({"mousemove", QString::number(mainWindow.center().x()),
             QString::number(mainWindow.top() + 5), "click", "1"});
    xdotool({"key", "alt+F4"});
    if (desktop.waitForWindow(mainWindowTitle(), 2).isNull())
        return false;
    xdotool({"key", "Return"});
    return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}
