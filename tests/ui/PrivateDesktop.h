#pragma once

#include <QByteArray>
#include <sys/types.h>

// An X server of the test's own with a small window manager (openbox) on it, so that
// minimising, restoring, activation and window frames behave as on a desktop, without
// disturbing the tests that share the X server of the test run. Points DISPLAY at it while
// it lives.
class PrivateDesktop
{
public:
    PrivateDesktop();
    ~PrivateDesktop();
    PrivateDesktop(const PrivateDesktop &) = delete;
    PrivateDesktop &operator=(const PrivateDesktop &) = delete;

    // Empty when everything is up; otherwise what failed.
    QByteArray problem() const { return failure; }
    // The window manager of the desktop that lives now (0 without one), for a test that stops
    // it for a moment as a busy machine would.
    static pid_t windowManager();

private:
    bool startServer();
    bool startWindowManager();

    pid_t serverPid = -1;
    pid_t managerPid = -1;
    QByteArray display, oldDisplay, failure;
};
