// The whole program on a desktop of its own (Xvfb and openbox), driven from outside as a user
// would: on the first run the palette stands at the right edge with the main window left of
// it, their frames on the screen; dwelling on a palette button changes the kind of the next
// dwell click, as a window of the test sees it (right button, double click, a drag in two
// dwells); the focus stays with the window the user works in; the program ends by Alt+F4 and
// Enter and keeps the windows' places.

#include "tests/support/Patience.h"
#include "tests/support/TestHome.h"
#include "tests/ui/PrivateDesktop.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QSettings>
#include <QThread>
#include <gtest/gtest.h>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
// Xlib's macros clash with the test framework and Qt.
#undef None
#undef Bool
#undef Status

#include <algorithm>
#include <functional>
#include <vector>

namespace {

// A face that holds perfectly still: the pointer goes only where the test puts it.
bool writeStillClip(const QString &photoPath, const QString &clipPath)
{
    const cv::Mat photo = cv::imread(photoPath.toStdString());
    if (photo.empty())
        return false;
    cv::VideoWriter writer(clipPath.toStdString(), cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), 15,
                           cv::Size(640, 480));
    if (!writer.isOpened())
        return false;
    cv::Mat frame(480, 640, CV_8UC3, cv::Scalar(30, 30, 30));
    cv::Mat scaled;
    const double scale = 0.8 * std::min(640.0 / photo.cols, 480.0 / photo.rows);
    cv::resize(photo, scaled, cv::Size(), scale, scale);
    scaled.copyTo(frame(
        cv::Rect((640 - scaled.cols) / 2, (480 - scaled.rows) / 2, scaled.cols, scaled.rows)));
    for (int i = 0; i < 30; ++i)
        writer.write(frame);
    return true;
}

// Polls until the condition holds, `timeoutMs` at most (stretched under a sanitizer).
bool waitFor(const std::function<bool()> &condition, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    const int limit = patientMs(timeoutMs);
    while (!condition()) {
        if (clock.elapsed() > limit)
            return false;
        QThread::msleep(20);
    }
    return true;
}

void xdotool(const QStringList &args)
{
    EXPECT_EQ(QProcess::execute("xdotool", args), 0) << args.join(' ').toStdString();
}

struct ButtonEvent
{
    bool press;
    unsigned button;
    QPoint at;
};

// What the test sees of the desktop, and a window of its own that records the buttons.
class Desktop
{
public:
    Desktop()
        : dpy(XOpenDisplay(nullptr))
    {
        // Windows of the program come and go while the test looks at them.
        XSetErrorHandler([](Display *, XErrorEvent *) { return 0; });
    }
    ~Desktop()
    {
        if (dpy)
            XCloseDisplay(dpy);
    }
    bool open() const { return dpy != nullptr; }

    void openTarget(const QRect &r)
    {
        target = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), r.x(), r.y(), unsigned(r.width()),
                                     unsigned(r.height()), 0, 0, WhitePixel(dpy, 0));
        XStoreName(dpy, target, "Target");
        XSelectInput(dpy, target, ButtonPressMask | ButtonReleaseMask | StructureNotifyMask);
        XSizeHints hints{};
        hints.flags = USPosition;
        hints.x = r.x();
        hints.y = r.y();
        XSetWMNormalHints(dpy, target, &hints);
        XMapWindow(dpy, target);
        XSync(dpy, False);
    }
    unsigned long targetWindow() const { return target; }

    std::vector<ButtonEvent> &buttons()
    {
        while (XPending(dpy)) {
            XEvent e;
            XNextEvent(dpy, &e);
            if (e.type == ButtonPress || e.type == ButtonRelease)
                seen.push_back({e.type == ButtonPress, e.xbutton.button,
                                QPoint(e.xbutton.x_root, e.xbutton.y_root)});
        }
        return seen;
    }

    // The managed windows whose title is `title`.
    std::vector<unsigned long> windows(const QByteArray &title) const
    {
        const Atom utf8 = XInternAtom(dpy, "UTF8_STRING", False);
        const Atom netName = XInternAtom(dpy, "_NET_WM_NAME", False);
        std::vector<unsigned long> found;
        for (unsigned long w : rootWindows("_NET_CLIENT_LIST")) {
            Atom type = 0;
            int format = 0;
            unsigned long items = 0, after = 0;
            unsigned char *data = nullptr;
            const bool match = XGetWindowProperty(dpy, w, netName, 0, 256, False, utf8, &type,
                                                  &format, &items, &after, &data) == Success &&
                               data &&
                               title == QByteArray(reinterpret_cast<char *>(data), int(items));
            if (data)
                XFree(data);
            if (match)
                found.push_back(w);
        }
        return found;
    }
    // The first of them, 0 when there is none yet.
    unsigned long window(const QByteArray &title) const
    {
        const std::vector<unsigned long> all = windows(title);
        return all.empty() ? 0 : all.front();
    }
    // The window once it is on the screen; 0 when it did not come in time.
    unsigned long waitForWindow(const QByteArray &title, int timeoutMs) const
    {
        unsigned long found = 0;
        waitFor(
            [&] {
                found = window(title);
                return viewable(found);
            },
            timeoutMs);
        return viewable(found) ? found : 0;
    }
    unsigned long activeWindow() const
    {
        const std::vector<unsigned long> active = rootWindows("_NET_ACTIVE_WINDOW");
        return active.empty() ? 0 : active.front();
    }
    bool viewable(unsigned long w) const
    {
        XWindowAttributes a;
        return w && XGetWindowAttributes(dpy, w, &a) && a.map_state == IsViewable;
    }
    // The client area on the root window.
    QRect client(unsigned long w) const
    {
        XWindowAttributes a;
        if (!w || !XGetWindowAttributes(dpy, w, &a))
            return {};
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates(dpy, w, DefaultRootWindow(dpy), 0, 0, &x, &y, &child);
        return QRect(x, y, a.width, a.height);
    }
    // The client area with the window manager's frame around it.
    QRect frame(unsigned long w) const
    {
        const QRect c = client(w);
        const std::vector<unsigned long> e = property(w, "_NET_FRAME_EXTENTS", XA_CARDINAL, 4);
        if (e.size() != 4)
            return c;
        return c.adjusted(-int(e[0]), -int(e[2]), int(e[1]), int(e[3]));
    }
    QPoint pointer() const
    {
        Window root = 0, child = 0;
        int x = 0, y = 0, wx = 0, wy = 0;
        unsigned mask = 0;
        XQueryPointer(dpy, DefaultRootWindow(dpy), &root, &child, &x, &y, &wx, &wy, &mask);
        return QPoint(x, y);
    }

private:
    std::vector<unsigned long> rootWindows(const char *name) const
    {
        return property(DefaultRootWindow(dpy), name, XA_WINDOW, 1024);
    }
    std::vector<unsigned long> property(unsigned long w, const char *name, Atom type,
                                        long count) const
    {
        std::vector<unsigned long> values;
        Atom actual = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char *data = nullptr;
        if (XGetWindowProperty(dpy, w, XInternAtom(dpy, name, False), 0, count, False, type,
                               &actual, &format, &items, &after, &data) == Success &&
            data && format == 32) {
            const auto *longs = reinterpret_cast<unsigned long *>(data);
            values.assign(longs, longs + items);
        }
        if (data)
            XFree(data);
        return values;
    }

    Display *dpy;
    Window target = 0;
    std::vector<ButtonEvent> seen;
};

class ClickWindowsEndToEnd : public ::testing::Test
{
protected:
    QString setting(const char *key)
    {
        QSettings file(home.settingsFile(), QSettings::IniFormat);
        return file.value(key).toString();
    }

    // Puts the pointer on `at` and keeps it there until `done` (the program holds the pointer
    // in the middle of the screen while it calibrates, and may put it back once).
    bool dwellOn(const QPoint &at, const std::function<bool()> &done, int timeoutMs = 60000)
    {
        return waitFor(
            [&] {
                if (done())
                    return true;
                if ((desktop.pointer() - at).manhattanLength() > 2)
                    xdotool({"mousemove", QString::number(at.x()), QString::number(at.y())});
                return false;
            },
            timeoutMs);
    }

    // A point of the palette's button, from its designed place in the 91 x 552 form.
    QPoint onPalette(int x, int y)
    {
        const QRect c = desktop.client(palette);
        return QPoint(c.x() + x * c.width() / 91, c.y() + y * c.height() / 552);
    }

    TestHome home;
    PrivateDesktop privateDesktop;
    Desktop desktop;
    unsigned long palette = 0;
};

TEST_F(ClickWindowsEndToEnd, DwellingOnThePaletteChangesTheNextDwellClick)
{
    ASSERT_TRUE(privateDesktop.problem().isEmpty()) << privateDesktop.problem().constData();
    ASSERT_TRUE(desktop.open());
    const QString clip = QDir(home.path()).filePath("still.avi");
    ASSERT_TRUE(
        writeStillClip(QDir(TOVRA_FACE_PHOTOS).filePath("Tom_Cruise_avp_2014_4.jpg"), clip));
    // A first run in dwell clicking; another mouse's moves are taken over at once and the
    // pointer is never recentred behind the user's back.
    TestHome::writeFile(home.settingsFile(),
                        "[General]\nFIRST_RUN_ON_V3X=0\nFIRST_RUN_EVER=1\nCAMERA_FRAMERATE=15\n"
                        "CLICK_MODE=1\nMOTION_MODE=1\nRTSF_AUTOCLOSE=1\nHK_ACTIVATE_PLAYPAUSE=0\n"
                        "MMM_RECENTER=0\nMMM_DISPLAY_OSW=0\nMMM_TIME_LAG=300\nFEMAP_INDEX_HHS=0\n");
    desktop.openTarget(QRect(40, 100, 600, 600));

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TOVRA_CAMERA_FILE", clip);
    env.remove("QT_QPA_PLATFORM");
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(qEnvironmentVariable("TOVRA_BIN_DIR") + "/TovraMouse", QStringList());
    ASSERT_TRUE(program.waitForStarted());
    // Whatever fails below, the program does not outlive the test.
    struct Ender
    {
        QProcess &p;
        ~Ender()
        {
            if (p.state() != QProcess::NotRunning) {
                p.terminate();
                if (!p.waitForFinished(15000))
                    p.kill();
                p.waitForFinished();
            }
        }
    } ender{program};

    // The camera choice comes first: the user takes the one camera with Enter.
    const unsigned long chooser = desktop.waitForWindow("Choose Camera", 60000);
    ASSERT_NE(chooser, 0u);
    xdotool({"windowactivate", "--sync", QString::number(chooser)});
    xdotool({"key", "Return"});
    palette = desktop.waitForWindow("Click Opts", 60000);
    ASSERT_NE(palette, 0u);
    const unsigned long mainWindow = desktop.waitForWindow("Tovra Mouse - v3.1.3.2", 20000);
    ASSERT_NE(mainWindow, 0u);
    // First-run placement: the palette's frame ends at the right edge of the screen and the
    // main window's stands directly left of it, once the window manager has put them there (it
    // may map a window before it moves it).
    const auto placed = [&] {
        const QRect p = desktop.frame(palette), m = desktop.frame(mainWindow);
        return p.right() == 1919 && m.right() + 1 == p.left() &&
               std::abs(m.center().y() - p.center().y()) < 40;
    };
    (void)waitFor(placed, 20000);
    const QRect paletteFrame = desktop.frame(palette);
    EXPECT_EQ(paletteFrame.right(), 1919);
    EXPECT_EQ(desktop.frame(mainWindow).right() + 1, paletteFrame.left());
    EXPECT_LT(std::abs(desktop.frame(mainWindow).center().y() - paletteFrame.center().y()), 40);

    // The user works in the target window.
    const unsigned long target = desktop.targetWindow();
    const QPoint inTarget(300, 300);
    xdotool({"mousemove", "300", "300"});
    xdotool({"windowactivate", QString::number(target)});
    ASSERT_TRUE(waitFor([&] { return desktop.activeWindow() == target; }, 10000));
    auto presses = [&](unsigned button) {
        int n = 0;
        for (const ButtonEvent &e : desktop.buttons())
            n += e.press && e.button == button;
        return n;
    };
    // Once the calibration is over, a dwell in the target is a left click. The engine clicks
    // nowhere near where it found the pointer when it started: the user moves on until it does.
    const QPoint rest[] = {inTarget + QPoint(0, -150), inTarget + QPoint(0, -60)};
    int tries = 0;
    ASSERT_TRUE(waitFor(
        [&] {
            const bool clicked = presses(1) > 0;
            if (!clicked)
                dwellOn(
                    rest[tries++ % 2], [&] { return presses(1) > 0; }, 4000);
            return clicked;
        },
        90000));
    const int leftBefore = presses(1);
    EXPECT_EQ(leftBefore, 1);

    // Right button: one dwell on the palette, one in the target.
    ASSERT_TRUE(
        dwellOn(onPalette(45, 112), [&] { return setting("CLICK_OPTION_RIGHT_CLICK") == "1"; }));
    ASSERT_TRUE(dwellOn(inTarget, [&] { return presses(3) == 1; }));
    EXPECT_EQ(presses(1), leftBefore);
    EXPECT_EQ(desktop.activeWindow(), target);
    // Unlocked, the choice lasts one click.
    EXPECT_TRUE(waitFor([&] { return setting("CLICK_OPTION_RIGHT_CLICK") == "0"; }, 5000));

    // Double click.
    ASSERT_TRUE(
        dwellOn(onPalette(45, 198), [&] { return setting("CLICK_OPTION_TIMES2_MODE") == "1"; }));
    ASSERT_TRUE(dwellOn(inTarget + QPoint(60, 0), [&] { return presses(1) == leftBefore + 2; }));
    EXPECT_EQ(presses(3), 1);
    EXPECT_EQ(desktop.activeWindow(), target);

    // Drag: the first dwell presses, the second, elsewhere, lets go.
    ASSERT_TRUE(
        dwellOn(onPalette(45, 270), [&] { return setting("CLICK_OPTION_DRAG_MODE") == "1"; }));
    const QPoint from = inTarget + QPoint(-150, 120), to = inTarget + QPoint(150, 200);
    ASSERT_TRUE(dwellOn(from, [&] { return presses(1) == leftBefore + 3; }));
    ASSERT_TRUE(dwellOn(to, [&] {
        const std::vector<ButtonEvent> &all = desktop.buttons();
        return !all.empty() && !all.back().press && all.back().button == 1;
    }));
    const std::vector<ButtonEvent> &all = desktop.buttons();
    ASSERT_GE(all.size(), 2u);
    EXPECT_LE((all[all.size() - 2].at - from).manhattanLength(), 20);
    EXPECT_LE((all.back().at - to).manhattanLength(), 20);
    EXPECT_EQ(desktop.activeWindow(), target);

    // The user leaves by Alt+F4 on the main window and Enter on the question. The pointer rests
    // on the bare desktop meanwhile, where a dwell click takes the focus from no window.
    const QPoint bare(1880, 1040);
    for (unsigned long w : {mainWindow, palette, target})
        ASSERT_FALSE(desktop.frame(w).adjusted(-30, -30, 30, 30).contains(bare));
    xdotool({"mousemove", QString::number(bare.x()), QString::number(bare.y())});
    const auto activate = [&](unsigned long w) {
        return waitFor(
            [&] {
                if (desktop.activeWindow() == w)
                    return true;
                xdotool({"windowactivate", QString::number(w)});
                return waitFor([&] { return desktop.activeWindow() == w; }, 5000);
            },
            60000);
    };
    ASSERT_TRUE(activate(mainWindow));
    xdotool({"key", "alt+F4"});
    // The question has the main window's title.
    unsigned long question = 0;
    ASSERT_TRUE(waitFor(
        [&] {
            for (unsigned long w : desktop.windows("Tovra Mouse - v3.1.3.2"))
                if (w != mainWindow && desktop.viewable(w))
                    question = w;
            return question != 0;
        },
        60000));
    ASSERT_TRUE(activate(question));
    xdotool({"key", "Return"});
    ASSERT_TRUE(program.waitForFinished(patientMs(60000)));
    EXPECT_EQ(program.exitCode(), 0);
    QSettings file(home.settingsFile(), QSettings::IniFormat);
    EXPECT_FALSE(file.value("ClickOptionsWindow/geometry").toByteArray().isEmpty());
    EXPECT_FALSE(file.value("ClickPause/geometry").toByteArray().isEmpty());
    EXPECT_EQ(setting("FIRST_RUN_EVER"), "0");
}

} // namespace
