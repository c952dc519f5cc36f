// The guardian executable on an X server of the test's own: it notes the desktop and says so,
// ends at once on a clean end without touching anything, puts the pointer settings back when
// its link closes without one, and never outlives its X server.

#include "tests/platform/PrivateXServer.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <gtest/gtest.h>

#include <memory>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <X11/Xlib.h>
#undef None
#undef Bool

extern char **environ;

namespace {

// The guardian as the program starts it: its end of the link as descriptor 3.
class Guardian
{
public:
    Guardian()
    {
        int pair[2];
        if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pair[1], 3);
        const QByteArray path = qgetenv("TOVRA_BIN_DIR") + "/TovraGuardian";
        char *const arguments[] = {const_cast<char *>(path.constData()), nullptr};
        if (posix_spawn(&pid, path.constData(), &actions, nullptr, arguments, environ) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(pair[1]);
        link = pair[0];
    }
    ~Guardian()
    {
        if (link >= 0)
            close(link);
        if (pid > 0 && !ended(0)) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    bool ready()
    {
        pollfd p{link, POLLIN, 0};
        char byte = 0;
        return poll(&p, 1, 10000) == 1 && read(link, &byte, 1) == 1 && byte == 'R';
    }
    void say(char byte) { ASSERT_EQ(write(link, &byte, 1), 1); }
    void closeLink()
    {
        close(link);
        link = -1;
    }
    // Whether it has ended within the time; its exit code in `code`.
    bool ended(int timeoutMs, int *code = nullptr)
    {
        QElapsedTimer timer;
        timer.start();
        for (;;) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                pid = -1;
                if (code)
                    *code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                return true;
            }
            if (timer.elapsed() >= timeoutMs)
                return false;
            usleep(5000);
        }
    }

    pid_t pid = -1;
    int link = -1;
};

std::vector<int> pointerControl(Display *display, const std::vector<int> &set = {})
{
    if (set.size() == 3) {
        XChangePointerControl(display, True, True, set[0], set[1], set[2]);
        XSync(display, False);
    }
    int n = 0, d = 0, t = 0;
    XGetPointerControl(display, &n, &d, &t);
    return {n, d, t};
}

TEST(GuardianProcess, ACleanEndEndsItAtOnceAndALinkClosedWithoutOnePutsThePointerBack)
{
    PrivateXServer server;
    ASSERT_TRUE(server.isRunning());
    Display *display = XOpenDisplay(nullptr);
    ASSERT_TRUE(display);
    const std::vector<int> users = pointerControl(display, {7, 2, 3});

    {
        Guardian guardian;
        ASSERT_TRUE(guardian.ready());
        pointerControl(display, {1, 1, 1});
        guardian.say('E');
        int code = -1;
        EXPECT_TRUE(guardian.ended(2000, &code));
        EXPECT_EQ(code, 0);
        EXPECT_EQ(pointerControl(display), std::vector<int>({1, 1, 1}))
            << "a clean end touches nothing";
    }
    pointerControl(display, users);
    {
        Guardian guardian;
        ASSERT_TRUE(guardian.ready());
        pointerControl(display, {1, 1, 1});
        guardian.closeLink(); // the program is gone without a word
        int code = -1;
        EXPECT_TRUE(guardian.ended(5000, &code));
        EXPECT_EQ(code, 0);
        EXPECT_EQ(pointerControl(display), users);
    }
    XCloseDisplay(display);
}

TEST(GuardianProcess, ItEndsWithItsXServer)
{
    auto server = std::make_unique<PrivateXServer>();
    ASSERT_TRUE(server->isRunning());
    Guardian guardian;
    ASSERT_TRUE(guardian.ready());
    server.reset();
    EXPECT_TRUE(guardian.ended(5000));
}

} // namespace
