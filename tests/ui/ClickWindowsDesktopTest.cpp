// The click windows on a desktop with a window manager: the first-run placement of the main,
// settings and click windows with real frames and a panel, the palette keeping its proportions
// while the user resizes it, coming back after a move off the screen, and the focus going back to
// the window that had it.

#include "core/AppFilePaths.h"
#include "core/FacialDetectionApp.h"
#include "core/SettingsKeys.h"
#include "platform/Platform.h"
#include "platform/Process.h"
#include "tests/support/Patience.h"
#include "tests/ui/DesktopTestMain.h"
#include "tests/ui/PrivateDesktop.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
// Xlib's macros clash with the test framework and Qt.
#undef None
#undef Bool
#undef Status

#include <csignal>
#include <cstdlib>

using namespace SettingKeys;

namespace {

FacialDetectionApp *app()
{
    return FacialDetectionApp::instance();
}

// The user's hands: pointer, buttons and keys through xdotool.
void xdotool(const QStringList &args)
{
    ASSERT_EQ(QProcess::execute("xdotool", args), 0) << args.join(' ').toStdString();
}

// What another client sees of the desktop, on a connection of the test's own.
class Desktop
{
public:
    Desktop()
        : dpy(XOpenDisplay(nullptr))
    {}
    ~Desktop()
    {
        if (dpy)
            XCloseDisplay(dpy);
    }

    Display *display() const { return dpy; }

    unsigned long activeWindow() const
    {
        const Atom active = XInternAtom(dpy, "_NET_ACTIVE_WINDOW", False);
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char *data = nullptr;
        unsigned long window = 0;
        if (XGetWindowProperty(dpy, DefaultRootWindow(dpy), active, 0, 1, False, XA_WINDOW, &type,
                               &format, &count, &after, &data) == Success &&
            count == 1)
            window = *reinterpret_cast<unsigned long *>(data);
        if (data)
            XFree(data);
        return window;
    }

    // A dock along the bottom edge, as a panel: the window manager leaves it out of the work
    // area.
    unsigned long addBottomPanel(int height)
    {
        const int width = DisplayWidth(dpy, DefaultScreen(dpy));
        const int screenHeight = DisplayHeight(dpy, DefaultScreen(dpy));
        const Window panel =
            XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, screenHeight - height,
                                unsigned(width), unsigned(height), 0, 0, 0);
        const Atom type = XInternAtom(dpy, "_NET_WM_WINDOW_TYPE", False);
        const Atom dock = XInternAtom(dpy, "_NET_WM_WINDOW_TYPE_DOCK", False);
        XChangeProperty(dpy, panel, type, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char *>(&dock), 1);
        long strut[12] = {0, 0, 0, height, 0, 0, 0, 0, 0, 0, 0, width - 1};
        XChangeProperty(dpy, panel, XInternAtom(dpy, "_NET_WM_STRUT_PARTIAL", False), XA_CARDINAL,
                        32, PropModeReplace, reinterpret_cast<unsigned char *>(strut), 12);
        XMapWindow(dpy, panel);
        XSync(dpy, False);
        return panel;
    }

    void remove(unsigned long window)
    {
        XDestroyWindow(dpy, window);
        XSync(dpy, False);
    }

private:
    Display *dpy;
};

QString id(const QWidget &w)
{
    return QString::number(w.winId());
}

bool framed(const QWidget &w)
{
    return QTest::qWaitFor([&] { return w.geometry().topLeft() != w.frameGeometry().topLeft(); },
                           patientMs(5000));
}

class ClickWindowsDesktop : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QFile::remove(AppFilePaths::settingsFile);
        app()->loadAllSettings();
        app()->setSetting(FIRST_RUN_EVER, 0);
        app()->setClickingActive(true);
    }
    Desktop desktop;
};

TEST_F(ClickWindowsDesktop, TheFirstRunPutsTheMainWindowLeftOfThePaletteAndThePauseAbovePanels)
{
    const unsigned long panel = desktop.addBottomPanel(40);
    // The window manager publishes the smaller work area.
    ASSERT_TRUE(QTest::qWaitFor([] { return platform::process().workArea().height() == 1080 - 40; },
                                patientMs(5000)));
    app()->setSetting(FIRST_RUN_EVER, 1);
    MainWindow window;
    ClickOptionsWindow &options = window.settingsWindow().clickOptionsWindow;
    ClickPause &pause = window.settingsWindow().clickPause;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&options, patientMs(5000)));
    ASSERT_TRUE(framed(options));
    ASSERT_TRUE(framed(window));

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    // Framed, then placed: looked at once the window manager has put them there.
    (void)QTest::qWaitFor(
        [&] {
            return options.frameGeometry().right() == screen.right() &&
                   window.frameGeometry().right() + 1 == options.frameGeometry().left();
        },
        patientMs(5000));
    // The palette's frame, its border with it, ends at the right edge, centred vertically.
    EXPECT_EQ(options.frameGeometry().right(), screen.right());
    EXPECT_GT(options.geometry().right(), options.frameGeometry().left());
    EXPECT_EQ(options.frameGeometry().top(), screen.height() / 2 - options.height() / 2);
    // The main window's frame stands directly left of the palette's.
    EXPECT_EQ(window.frameGeometry().right() + 1, options.frameGeometry().left());
    EXPECT_EQ(window.size(), QSize(920, 620));
    EXPECT_EQ(window.frameGeometry().top(), screen.height() / 2 - 620 / 2);
    EXPECT_GE(window.frameGeometry().left(), 0);
    // The settings window waits minimised.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return window.settingsWindow().isMinimized(); }, patientMs(5000)));
    EXPECT_EQ(app()->getSetting(FIRST_RUN_EVER).toInt(), 0);
    // The click-pause window waits hidden with its frame on the panel, at the right edge.
    EXPECT_FALSE(pause.isVisible());
    EXPECT_EQ(pause.frameGeometry().bottom() + 1, 1080 - 40);
    EXPECT_EQ(pause.frameGeometry().right(), screen.right());
    EXPECT_EQ(pause.width(), options.frameGeometry().width());
    desktop.remove(panel);
}

// A busy window manager answers late: it has told where and how large the palette stood when
// the first run parked it, and the toolkit takes that in only once the first run has made the
// palette smaller; the window manager answers the first run's own requests after the first run
// has placed every window. The notice goes out as the window manager sends one (a synthetic
// configure notice) the moment the palette is made smaller, and the window manager stops then
// until resume().
class LateWindowManager : public QObject
{
public:
    explicit LateWindowManager(Display *dpy)
        : dpy(dpy)
    {
        qApp->installEventFilter(this);
    }
    ~LateWindowManager() override
    {
        qApp->removeEventFilter(this);
        resume();
    }
    void resume()
    {
        if (stopped)
            ::kill(stopped, SIGCONT);
        stopped = 0;
    }
    bool late = false;
    bool takenIn = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *palette = qobject_cast<ClickOptionsWindow *>(watched);
        if (late || !palette || event->type() != QEvent::Resize || !PrivateDesktop::windowManager())
            return false;
        const QSize before = static_cast<QResizeEvent *>(event)->oldSize();
        if (!before.isValid() || before.height() <= palette->height())
            return false;
        late = true;
        stopped = PrivateDesktop::windowManager();
        ::kill(stopped, SIGSTOP);
        const QRect parked(palette->pos() * palette->devicePixelRatioF(),
                           before * palette->devicePixelRatioF());
        XEvent notice{};
        notice.xconfigure.type = ConfigureNotify;
        notice.xconfigure.send_event = True;
        notice.xconfigure.display = dpy;
        notice.xconfigure.event = palette->winId();
        notice.xconfigure.window = palette->winId();
        notice.xconfigure.x = parked.x();
        notice.xconfigure.y = parked.y();
        notice.xconfigure.width = parked.width();
        notice.xconfigure.height = parked.height();
        XSendEvent(dpy, palette->winId(), False, StructureNotifyMask, &notice);
        XSync(dpy, False);
        // Taken in before the first run goes on.
        takenIn = QTest::qWaitFor([&] { return palette->size() == before; }, patientMs(2000));
        return false;
    }

private:
    Display *dpy;
    pid_t stopped = 0;
};

// Where the palette must be made smaller to fit, the first run places the windows from the sizes
// it asked for: from the palette's size before, they would stand short of the right edge and
// above the work area.
TEST_F(ClickWindowsDesktop, TheFirstRunPlacesThePaletteAtTheEdgeWhenTheWindowManagerAnswersLate)
{
    // The palette as designed is taller than the work area is high.
    const int panelHeight = 540;
    const unsigned long panel = desktop.addBottomPanel(panelHeight);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return platform::process().workArea().height() == 1080 - panelHeight; },
        patientMs(5000)));
    app()->setSetting(FIRST_RUN_EVER, 1);
    LateWindowManager manager(desktop.display());
    MainWindow window;
    ASSERT_TRUE(manager.late);
    EXPECT_TRUE(manager.takenIn) << "the toolkit did not take in the late notice";
    manager.resume();
    ClickOptionsWindow &options = window.settingsWindow().clickOptionsWindow;
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    // The palette's frame at the right edge inside the work area, the main window's directly
    // left of it.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return options.frameGeometry().right() == screen.right() &&
                   options.frameGeometry().top() >= 0 &&
                   options.frameGeometry().bottom() < 1080 - panelHeight &&
                   window.frameGeometry().right() + 1 == options.frameGeometry().left();
        },
        patientMs(10000)))
        << "the palette's frame " << options.frameGeometry().x() << ","
        << options.frameGeometry().y() << " " << options.frameGeometry().width() << "x"
        << options.frameGeometry().height() << ", the main window's right edge "
        << window.frameGeometry().right();
    desktop.remove(panel);
}

TEST_F(ClickWindowsDesktop, ResizingThePaletteKeepsItsProportionAndScalesItsButtons)
{
    ClickOptionsWindow palette;
    palette.move(1500, 100);
    palette.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&palette, patientMs(5000)));
    ASSERT_TRUE(framed(palette));
    const QSize first = palette.size();

    // Alt and the right button drag the nearest corner, as the user resizes a window.
    const QPoint lowerRight = palette.mapToGlobal(QPoint(first.width() - 10, first.height() - 20));
    xdotool({"mousemove", QString::number(lowerRight.x()), QString::number(lowerRight.y())});
    xdotool({"keydown", "alt", "mousedown", "3"});
    for (int step = 1; step <= 10; ++step)
        xdotool({"mousemove", QString::number(lowerRight.x() + 4 * step),
                 QString::number(lowerRight.y() + 15 * step)});
    xdotool({"mouseup", "3", "keyup", "alt"});
    QPushButton *right = palette.findChild<QPushButton *>("rightClick");
    // Grown, kept in proportion by the window manager, and laid out anew at the size it ends at.
    const auto resized = [&] {
        const QSize now = palette.size();
        const double s = double(now.height()) / first.height();
        return now.height() > first.height() + 50 &&
               std::abs(now.width() - now.height() * first.width() / first.height()) <= 1 &&
               right->height() == int(60 * s) && right->width() == 75 + now.width() - first.width();
    };
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return palette.height() > first.height() + 50; }, patientMs(5000)));
    (void)QTest::qWaitFor(resized, patientMs(5000));

    const QSize now = palette.size();
    SCOPED_TRACE(QString("%1x%2 from %3x%4")
                     .arg(now.width())
                     .arg(now.height())
                     .arg(first.width())
                     .arg(first.height())
                     .toStdString());
    // Dragged 40 right and 150 down: the window manager kept the width to the height.
    EXPECT_LE(std::abs(now.width() - now.height() * first.width() / first.height()), 1);
    const double s = double(now.height()) / first.height();
    EXPECT_EQ(right->height(), int(60 * s));
    EXPECT_EQ(right->width(), 75 + now.width() - first.width());
}

TEST_F(ClickWindowsDesktop, APaletteMovedOffTheScreenComesBack)
{
    ClickOptionsWindow palette;
    palette.move(1500, 100);
    palette.show();
    ASSERT_TRUE(framed(palette));
    xdotool({"windowmove", id(palette), "1880", "700"});
    const QRect screen = QGuiApplication::primaryScreen()->virtualGeometry();
    // Moved, and back with its whole frame on the screen.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const QRect f = palette.frameGeometry();
            return f.left() != 1500 && f.right() <= screen.right() && f.bottom() <= screen.bottom();
        },
        patientMs(5000)))
        << palette.frameGeometry().x() << "," << palette.frameGeometry().y();
}

TEST_F(ClickWindowsDesktop, APaletteGrownPastTheRightEdgeComesBack)
{
    ClickOptionsWindow palette;
    palette.move(1500, 100);
    palette.show();
    ASSERT_TRUE(framed(palette));
    const QRect screen = QGuiApplication::primaryScreen()->virtualGeometry();
    // Flush with the right edge, as on the first run.
    palette.move(screen.right() + 1 - palette.frameGeometry().width(), 100);
    ASSERT_TRUE(QTest::qWaitFor([&] { return palette.frameGeometry().right() == screen.right(); },
                                patientMs(5000)));
    const QSize first = palette.size();

    // The user drags the lower edge down; in proportion the window also grows to the right.
    const QPoint lowerEdge = palette.mapToGlobal(QPoint(first.width() / 2, first.height() - 20));
    xdotool({"mousemove", QString::number(lowerEdge.x()), QString::number(lowerEdge.y())});
    xdotool({"keydown", "alt", "mousedown", "3"});
    for (int step = 1; step <= 10; ++step)
        xdotool({"mousemove", QString::number(lowerEdge.x()),
                 QString::number(lowerEdge.y() + 15 * step)});
    xdotool({"mouseup", "3", "keyup", "alt"});
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return palette.width() > first.width() + 5; }, patientMs(5000)))
        << palette.width();
    EXPECT_TRUE(QTest::qWaitFor([&] { return palette.frameGeometry().right() == screen.right(); },
                                patientMs(5000)))
        << palette.frameGeometry().x() << "+" << palette.frameGeometry().width();
}

TEST_F(ClickWindowsDesktop, AClickOnThePaletteLeavesTheFocusWhereItWasAndGivesItBack)
{
    QWidget typing;
    typing.setWindowTitle("Typing");
    typing.setGeometry(100, 100, 400, 300);
    typing.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&typing, patientMs(5000)));
    xdotool({"windowactivate", "--sync", id(typing)});
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return desktop.activeWindow() == typing.winId(); }, patientMs(5000)));

    ClickOptionsWindow palette;
    palette.move(1500, 100);
    palette.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&palette, patientMs(5000)));
    ASSERT_TRUE(framed(palette));
    EXPECT_EQ(desktop.activeWindow(), typing.winId());

    QPushButton *drag = palette.findChild<QPushButton *>("drag");
    const QPoint onDrag = drag->mapToGlobal(drag->rect().center());
    xdotool({"mousemove", QString::number(onDrag.x()), QString::number(onDrag.y())});
    ASSERT_TRUE(QTest::qWaitFor([] { return app()->isPointerOverOwnWindow(); }, patientMs(5000)));
    xdotool({"click", "1"});
    ASSERT_TRUE(QTest::qWaitFor(
        [] { return app()->getSetting(CLICK_OPTION_DRAG_MODE).toInt() == 1; }, patientMs(5000)));
    QTest::qWait(300);
    EXPECT_EQ(desktop.activeWindow(), typing.winId());

    // Another window takes the focus while the pointer is on the palette; leaving the palette
    // gives it back to the window that had it when the pointer came.
    QWidget other;
    other.setWindowTitle("Other");
    other.setGeometry(600, 100, 300, 200);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other, patientMs(5000)));
    xdotool({"windowactivate", "--sync", id(other)});
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return desktop.activeWindow() == other.winId(); }, patientMs(5000)));
    xdotool({"mousemove", "300", "250"});
    EXPECT_TRUE(QTest::qWaitFor([] { return !app()->isPointerOverOwnWindow(); }, patientMs(5000)));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return desktop.activeWindow() == typing.winId(); }, patientMs(5000)));
}

} // namespace

int main(int argc, char **argv)
{
    return runTestsOnPrivateDesktop(argc, argv, true);
}
