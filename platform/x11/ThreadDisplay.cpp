#include "platform/x11/ThreadDisplay.h"

#include <QtGlobal>
#include <X11/Xlib.h>
#include <atomic>
#include <poll.h>
#include <sys/socket.h>

namespace platform {

namespace {

std::atomic<unsigned> generation{1};

// Plain thread-locals stay readable while the thread's objects are destroyed; the closer
// below is the only one with a destructor. After it ran (at thread or process exit, before
// static objects such as the back ends go), no connection is opened any more.
thread_local Display *display = nullptr;
thread_local unsigned openedIn = 0;
thread_local bool failureReported = false;
thread_local bool finished = false;

void closeConnection()
{
    ThreadDisplay::close(display);
    display = nullptr;
}

struct Closer
{
    ~Closer()
    {
        closeConnection();
        finished = true;
    }
};
thread_local Closer closer;

} // namespace

Display *ThreadDisplay::get()
{
    if (finished)
        return nullptr;
    (void)&closer; // makes sure the connection is closed when the thread ends
    const unsigned current = generation.load();
    if (openedIn != current) {
        closeConnection();
        openedIn = current;
        failureReported = false;
        display = XOpenDisplay(nullptr);
    }
    if (!display && !failureReported) {
        failureReported = true;
        qWarning("X11: cannot open the X display on this thread");
    }
    return display;
}

void ThreadDisplay::invalidateAll()
{
    ++generation;
}

void ThreadDisplay::close(Display *connection)
{
    if (connection && serverStillThere(connection))
        XCloseDisplay(connection);
}

bool ThreadDisplay::serverStillThere(Display *connection)
{
    pollfd p{ConnectionNumber(connection), POLLIN, 0};
    if (poll(&p, 1, 0) < 0 || (p.revents & (POLLERR | POLLHUP | POLLNVAL)))
        return false;
    char byte;
    return !(p.revents & POLLIN) || recv(p.fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT) > 0;
}

} // namespace platform
