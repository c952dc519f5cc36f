#include "tests/ui/PrivateDesktop.h"

#include "tests/support/Patience.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QtGlobal>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

pid_t currentManager = 0;

pid_t spawnQuietly(const char *const argv[], int keepFd = -1, int asFd = -1)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (keepFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, keepFd, asFd);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, const_cast<char **>(argv), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void stop(pid_t &pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

// A window manager that follows the desktop conventions announces itself on the root window.
bool windowManagerRunning(const QByteArray &display)
{
    Display *dpy = XOpenDisplay(display.constData());
    if (!dpy)
        return false;
    const Atom check = XInternAtom(dpy, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    const int status = XGetWindowProperty(dpy, DefaultRootWindow(dpy), check, 0, 1, False,
                                          XA_WINDOW, &type, &format, &count, &after, &data);
    const bool running = status == Success && count == 1;
    if (data)
        XFree(data);
    XCloseDisplay(dpy);
    return running;
}

} // namespace

PrivateDesktop::PrivateDesktop()
    : oldDisplay(qgetenv("DISPLAY"))
{
    if (startServer())
        startWindowManager();
}

PrivateDesktop::~PrivateDesktop()
{
    currentManager = 0;
    stop(managerPid);
    stop(serverPid);
    if (oldDisplay.isNull())
        qunsetenv("DISPLAY");
    else
        qputenv("DISPLAY", oldDisplay);
}

bool PrivateDesktop::startServer()
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        failure = "no pipe for Xvfb";
        return false;
    }
    // Xvfb picks a free display number and writes it to the descriptor given by -displayfd.
    const int childFd = 3;
    const std::string fd = std::to_string(childFd);
    const char *argv[] = {"Xvfb",    "-displayfd", fd.c_str(),     "-nolisten", "tcp",
                          "-screen", "0",          "1920x1080x24", "-noreset",  nullptr};
    serverPid = spawnQuietly(argv, fds[1], childFd);
    close(fds[1]);
    QByteArray number;
    pollfd p{fds[0], POLLIN, 0};
    while (serverPid > 0 && !number.endsWith('\n') && poll(&p, 1, patientMs(60000)) > 0) {
        char c;
        if (read(fds[0], &c, 1) != 1)
            break;
        number += c;
    }
    close(fds[0]);
    if (number.trimmed().isEmpty()) {
        failure = "Xvfb did not start";
        return false;
    }
    display = ':' + number.trimmed();
    qputenv("DISPLAY", display);
    return true;
}

bool PrivateDesktop::startWindowManager()
{
    // Openbox names itself on the root window before it takes windows on, and runs its startup
    // command once it does: a window shown in between waits for it, and on a busy machine was
    // seen never to be shown at all. The tests start once the command has run.
    const QTemporaryDir folder;
    const QString ready = QDir(folder.path()).filePath(QStringLiteral("ready"));
    const QByteArray startup = "touch " + QFile::encodeName(ready);
    const char *argv[] = {"openbox", "--sm-disable", "--startup", startup.constData(), nullptr};
    managerPid = spawnQuietly(argv);
    if (managerPid <= 0) {
        failure = "openbox could not be started (Debian package openbox)";
        return false;
    }
    QElapsedTimer waited;
    waited.start();
    while (!windowManagerRunning(display) || !QFile::exists(ready)) {
        if (waitpid(managerPid, nullptr, WNOHANG) == managerPid) {
            managerPid = -1;
            failure = "openbox ended at once";
            return false;
        }
        if (waited.elapsed() > patientMs(60000)) {
            failure = "openbox did not take over the screen";
            return false;
        }
        QThread::msleep(20);
    }
    currentManager = managerPid;
    return true;
}

pid_t PrivateDesktop::windowManager()
{
    return currentManager;
}
