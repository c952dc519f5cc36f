// The guardian: started by the program before it changes the desktop, it notes the user's
// pointer and keyboard settings, says so, and waits on its link to the program, which tells
// it what it holds on the desktop at each change. A clean end ends it at once; a link that
// closes without one (a crash, SIGKILL, the out-of-memory killer) makes it put the desktop
// back on its own connections, letting go of what the program held and nothing else. The X
// session ending ends it.

#include "platform/SystemCursors.h"
#include "platform/x11/X11DesktopSnapshot.h"
#include "platform/x11/X11HeldInput.h"
#include "platform/x11/X11SystemCursors.h"

#include <QByteArray>
#include <QtGlobal>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace {

// The link's messages: one byte each, but what the program holds, which runs from its byte
// to the end of the line.
constexpr char Ready = 'R';
constexpr char CleanEnd = 'E';
constexpr char Held = 'H';

void putDesktopBack(platform::X11DesktopSnapshot &snapshot, const platform::X11HeldInput &held)
{
    snapshot.putBack(held);
    platform::X11SystemCursors cursors;
    cursors.keepCursorsAfterExit();
    using Shape = platform::SystemCursors::Shape;
    for (Shape shape : {Shape::Arrow, Shape::Cross, Shape::Hand, Shape::IBeam})
        cursors.restore(shape);
    qWarning("Guardian: Tovra Mouse ended without putting the desktop back; buttons, keys, "
             "cursors and mouse settings restored");
}

} // namespace

int main(int argc, char **argv)
{
    int link = 3;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--link-fd=", 10) == 0)
            link = QByteArray(argv[i] + 10).toInt();
    }
    if (fcntl(link, F_GETFD) < 0) {
        qWarning("Guardian: started without a link to the program");
        return 2;
    }
    fcntl(link, F_SETFD, FD_CLOEXEC);
    // The terminal's Ctrl+C and hang-up are the program's to answer; a write to a link the
    // program closed is no reason to end.
    std::signal(SIGINT, SIG_IGN);
    std::signal(SIGHUP, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
    // The X session ending is the guardian's end too; errors of single requests are not.
    platform::X11DesktopSnapshot::endProcessWithServer();

    platform::X11DesktopSnapshot snapshot;
    if (!snapshot.take())
        return 1;
    if (write(link, &Ready, 1) != 1)
        return 0; // the program is gone before it changed anything

    platform::X11HeldInput held;
    std::string heldLine;
    bool inHeldLine = false;
    for (;;) {
        pollfd fds[2] = {{link, POLLIN, 0}, {snapshot.connectionFd(), POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            qWarning("Guardian: cannot wait on the program: %s", std::strerror(errno));
            return 1;
        }
        if (fds[1].revents && !snapshot.serverStillThere())
            return 0;
        if (!fds[0].revents)
            continue;
        char message[256];
        const ssize_t n = read(link, message, sizeof message);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            putDesktopBack(snapshot, held);
            return 0;
        }
        for (ssize_t i = 0; i < n; ++i) {
            const char byte = message[i];
            if (inHeldLine) {
                // A line cut short by the program's end is not taken: the last whole one
                // says what it held.
                if (byte == '\n') {
                    held = platform::X11HeldInput::decode(heldLine);
                    inHeldLine = false;
                } else if (heldLine.size() < 4096) {
                    heldLine += byte;
                }
            } else if (byte == CleanEnd) {
                return 0;
            } else if (byte == Held) {
                heldLine.clear();
                inHeldLine = true;
            }
        }
    }
}
