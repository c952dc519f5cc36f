// The guardian executable on an X server of the test's own: it notes the desktop and says so,
// ends at once on a clean end without touching anything, puts the pointer settings back when
// its link closes without one, lets go then of what the program told it holds and of nothing
// else, and never outlives its X server.

#include "tests/platform/PrivateXServer.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <gtest/gtest.h>

#include <memory>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
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
    void say(const std::string &text)
    {
        ASSERT_EQ(write(link, text.data(), text.size()), ssize_t(text.size()));
    }
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

bool keyDown(Display *display, unsigned keycode)
{
    char keys[32];
    XQueryKeymap(display, keys);
    return keys[keycode / 8] & (1 << (keycode % 8));
}

void bind(Display *display, unsigned keycode, KeySym sym)
{
    int perKeycode = 0;
    XFree(XGetKeyboardMapping(display, KeyCode(keycode), 1, &perKeycode));
    std::vector<KeySym> syms(std::size_t(perKeycode), sym);
    XChangeKeyboardMapping(display, int(keycode), perKeycode, syms.data(), 1);
    XSync(display, False);
}

KeySym boundTo(Display *display, unsigned keycode)
{
    int perKeycode = 0;
    KeySym *syms = XGetKeyboardMapping(display, KeyCode(keycode), 1, &perKeycode);
    const KeySym sym = syms ? syms[0] : 0;
    XFree(syms);
    return sym;
}

// Two keycodes without a keysym, from the top.
std::vector<unsigned> spareKeycodes(Display *display)
{
    int first = 0, last = 0;
    XDisplayKeycodes(display, &first, &last);
    std::vector<unsigned> spares;
    for (int k = last; k >= first && spares.size() < 2; --k) {
        int perKeycode = 0;
        KeySym *syms = XGetKeyboardMapping(display, KeyCode(k), 1, &perKeycode);
        bool empty = true;
        for (int i = 0; i < perKeycode; ++i)
            empty = empty && syms[i] == 0;
        XFree(syms);
        if (empty)
            spares.push_back(unsigned(k));
    }
    return spares;
}

// What the program tells at each change ("H", then what it holds, to the end of the line),
// the last whole line counting: after a crash the guardian lets go of that alone. An
// on-screen keyboard's Shift, held through XTEST too, and a key it bound stay as they are.
TEST(GuardianProcess, ItLetsGoOfWhatTheProgramHeldAndOfNothingElse)
{
    PrivateXServer server;
    ASSERT_TRUE(server.isRunning());
    Display *display = XOpenDisplay(nullptr);
    ASSERT_TRUE(display);
    const unsigned a = XKeysymToKeycode(display, XK_a);
    const unsigned shift = XKeysymToKeycode(display, XK_Shift_L);
    const std::vector<unsigned> spares = spareKeycodes(display);
    ASSERT_TRUE(a && shift && spares.size() == 2);

    Guardian guardian;
    ASSERT_TRUE(guardian.ready());
    // The program holds the left button, "a" and F13 on a spare keycode it bound ...
    guardian.say("Hb1\n");
    const std::string spare = std::to_string(spares[0]);
    guardian.say("Hb1 k" + std::to_string(a) + " k" + spare + " m" + spare + "=ffca\n");
    bind(display, spares[0], XK_F13);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeKeyEvent(display, a, True, CurrentTime);
    XTestFakeKeyEvent(display, spares[0], True, CurrentTime);
    // ... and another program Shift, and a key of its own bound meanwhile.
    XTestFakeKeyEvent(display, shift, True, CurrentTime);
    bind(display, spares[1], XK_F14);
    guardian.say("Hb1 k"); // cut short by the crash

    guardian.closeLink();
    ASSERT_TRUE(guardian.ended(5000));
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned mask = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &x, &y,
                  &mask);
    EXPECT_FALSE(mask & Button1Mask);
    EXPECT_FALSE(keyDown(display, a));
    EXPECT_FALSE(keyDown(display, spares[0]));
    EXPECT_EQ(boundTo(display, spares[0]), 0ul);
    EXPECT_TRUE(keyDown(display, shift)) << "the other program's Shift went up";
    EXPECT_EQ(boundTo(display, spares[1]), KeySym(XK_F14)) << "the other program's key went";
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
