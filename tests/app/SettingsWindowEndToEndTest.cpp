// The program itself (build/bin/TovraMouse) on a desktop of the test's own, used as a person
// at the keyboard and mouse would: the start-up dialogs answered with Enter, processing
// stopped, Settings opened from the main window, the horizontal sensitivity dragged to its
// lowest, processing started again, and the program quit with Alt+F4 and Enter. The settings
// file and the pointer's motion show that the drag reached the store and the tracker.
//
// Where a button or slider lies in the program's windows is read off the same windows built
// in this process on the same settings, laid out at the same sizes.

#include "core/AppFilePaths.h"
#include "core/FacialDetectionApp.h"
#include "core/SettingsDefaults.h"
#include "core/SettingsKeys.h"
#include "platform/Platform.h"
#include "tests/app/FaceClip.h"
#include "tests/support/TestHome.h"
#include "tests/ui/DesktopTestMain.h"
#include "ui/MainWindow.h"
#include "ui/ReadyToStartForm.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
// Xlib's macros clash with the test framework and Qt.
#undef None
#undef Bool
#undef Status

#include <cmath>
#include <cstdio>

using namespace SettingKeys;

namespace {

// The desktop as another client sees it.
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
    bool isOpen() const { return dpy != nullptr; }

    // The client area of each viewable window with this title, on the root window.
    QList<QRect> windows(const QString &title)
    {
        QList<QRect> found;
        collect(DefaultRootWindow(dpy), title, found);
        return found;
    }
    QRect waitForWindow(const QString &title, int count = 1)
    {
        QRect found;
        (void)QTest::qWaitFor(
            [&] {
                const QList<QRect> all = windows(title);
                if (all.size() < count)
                    return false;
                found = all.last();
                return true;
            },
            30000);
        return found;
    }
    bool waitUntilGone(const QString &title, int remaining = 0)
    {
        return QTest::qWaitFor([&] { return windows(title).size() <= remaining; }, 30000);
    }
    QPoint pointer()
    {
        Window root, child;
        int rootX = 0, rootY = 0, x, y;
        unsigned mask;
        XQueryPointer(dpy, DefaultRootWindow(dpy), &root, &child, &rootX, &rootY, &x, &y, &mask);
        return QPoint(rootX, rootY);
    }

private:
    void collect(Window window, const QString &title, QList<QRect> &found)
    {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(dpy, window, &attributes) && attributes.map_state == IsViewable) {
            char *name = nullptr;
            if (XFetchName(dpy, window, &name) && name) {
                if (QString::fromUtf8(name) == title) {
                    int x = 0, y = 0;
                    Window child;
                    XTranslateCoordinates(dpy, window, DefaultRootWindow(dpy), 0, 0, &x, &y,
                                          &child);
                    found << QRect(x, y, attributes.width, attributes.height);
                }
                XFree(name);
            }
        }
        Window root, parent, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(dpy, window, &root, &parent, &children, &count))
            return;
        for (unsigned i = 0; i < count; ++i)
            collect(children[i], title, found);
        if (children)
            XFree(children);
    }

    Display *dpy;
};

void xdotool(const QStringList &args)
{
    QProcess::execute(QStringLiteral("xdotool"), args);
}

void clickAt(const QPoint &at)
{
    xdotool({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"});
}

// With TOVRA_SCREENSHOTS naming a folder, the screen at each step lands there to look at.
// TOVRA_SCREENSHOTS_COMPOSITED=1 puts a compositing manager on the desktop first.
void screenshot(const char *name)
{
    const QString folder = qEnvironmentVariable("TOVRA_SCREENSHOTS");
    if (!folder.isEmpty())
        QProcess::execute("import", {"-window", "root", folder + "/" + name + ".png"});
}

QPoint centreOf(QWidget *widget, QWidget *window)
{
    return widget->mapTo(window, widget->rect().center());
}

QRect handleOf(QSlider *slider)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.singleStep = slider->singleStep();
    option.pageStep = slider->pageStep();
    option.tickPosition = slider->tickPosition();
    option.tickInterval = slider->tickInterval();
    option.upsideDown = slider->invertedAppearance();
    if (slider->orientation() == Qt::Horizontal)
        option.state |= QStyle::State_Horizontal;
    return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle,
                                           slider);
}

// How far the pointer travels across and along while the tracker moves it.
struct Travel
{
    double across = 0, along = 0;
    double ratio() const { return along > 0 ? across / along : 0; }
};

Travel measureTravel(Desktop &desktop, int samples)
{
    Travel travel;
    QPoint last = desktop.pointer();
    for (int i = 0; i < samples; ++i) {
        QTest::qWait(20);
        const QPoint now = desktop.pointer();
        travel.across += std::abs(now.x() - last.x());
        travel.along += std::abs(now.y() - last.y());
        last = now;
    }
    return travel;
}

bool pointerMovesWithin(Desktop &desktop, int timeoutMs)
{
    const QPoint start = desktop.pointer();
    return QTest::qWaitFor([&] { return (desktop.pointer() - start).manhattanLength() > 4; },
                           timeoutMs);
}

// The program's own settings, as a user who has used it before would have them.
void writeProgramSettings(const QString &file)
{
    FacialDetectionApp *app = FacialDetectionApp::instance();
    for (const SettingsDefaults::Batch &batch : SettingsDefaults::batches())
        app->setSettings(batch);
    // No dwell click lands anywhere while the test uses the mouse: a dwell needs ten
    // seconds without a pixel of motion.
    app->setSettings({{FIRST_RUN_EVER, 0}, {DWELL_CLICK_TIME, 10000}, {DWELL_ZONE_SIZE, 0}});
    QDir().mkpath(QFileInfo(file).path());
    QFile::remove(file);
    ASSERT_TRUE(QFile::copy(AppFilePaths::settingsFile, file));
}

TEST(SettingsWindowEndToEnd, ADraggedSliderReachesTheSettingsFileAndThePointer)
{
    Desktop desktop;
    ASSERT_TRUE(desktop.isOpen());
    QProcess compositor;
    if (qEnvironmentVariableIntValue("TOVRA_SCREENSHOTS_COMPOSITED"))
        compositor.start("xcompmgr", QStringList());
    QTemporaryDir programHome;
    const QString clip = programHome.filePath("clip.avi");
    // A face moving along the diagonal, as far sideways as up and down: with equal
    // sensitivities the pointer travels about as far across as along.
    ASSERT_TRUE(writeFaceClip(QDir(TOVRA_FACE_PHOTOS).filePath("Tom_Cruise_avp_2014_4.jpg"), clip,
                              [](double t) {
                                  const double shift = 40.0 * std::sin(t * 2.0);
                                  return cv::Point2d(shift, shift);
                              }));
    const QString settingsFile =
        programHome.filePath(".local/share/Quillorent Devices/Tovra Mouse/TovraMouse.ini");
    writeProgramSettings(settingsFile);

    // The same windows in this process, on the same settings: where things are.
    MainWindow model;
    model.setAttribute(Qt::WA_DontShowOnScreen);
    SettingsWindow &settingsModel = model.settingsWindow();
    settingsModel.setAttribute(Qt::WA_DontShowOnScreen);
    // The model's pointer-following images belong to this process, not to the desktop.
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->isVisible())
            window->hide();

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", programHome.path());
    env.insert("XDG_CONFIG_HOME", programHome.filePath(".config"));
    env.insert("XDG_DATA_HOME", programHome.filePath(".local/share"));
    env.insert("XDG_CACHE_HOME", programHome.filePath(".cache"));
    env.insert("TOVRA_CAMERA_FILE", clip);
    env.remove("QT_QPA_PLATFORM");
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(qEnvironmentVariable("TOVRA_BIN_DIR") + "/TovraMouse", QStringList());
    ASSERT_TRUE(program.waitForStarted());

    // The camera choice and the ready-to-start question, each taken with Enter.
    ASSERT_FALSE(desktop.waitForWindow("Choose Camera").isNull());
    xdotool({"key", "Return"});
    const QRect ready = desktop.waitForWindow("Ready to Start Tovra Mouse?");
    ASSERT_FALSE(ready.isNull());
    ReadyToStartForm readyModel;
    readyModel.setAttribute(Qt::WA_DontShowOnScreen);
    readyModel.resize(ready.size());
    readyModel.show();
    clickAt(ready.topLeft() +
            centreOf(readyModel.findChild<QPushButton *>("m_readyToStartButton"), &readyModel));
    ASSERT_TRUE(desktop.waitUntilGone("Ready to Start Tovra Mouse?"));
    const QString title = QStringLiteral("Tovra Mouse - v3.1.3.2");
    const QRect mainWindow = desktop.waitForWindow(title);
    ASSERT_FALSE(mainWindow.isNull());
    model.resize(mainWindow.size());
    model.show();

    ASSERT_TRUE(pointerMovesWithin(desktop, 60000));
    const Travel before = measureTravel(desktop, 200);
    std::printf("before: across %.0f along %.0f\n", before.across, before.along);

    screenshot("1-running");
    // Processing stopped first, so that the tracker does not take the pointer from the drag.
    clickAt(mainWindow.topLeft() +
            centreOf(model.findChild<QPushButton *>("tempStopButton"), &model));
    ASSERT_FALSE(desktop.waitForWindow(title, 2).isNull());
    xdotool({"key", "Return"});
    ASSERT_TRUE(desktop.waitUntilGone(title, 1));

    clickAt(mainWindow.topLeft() +
            centreOf(model.findChild<QPushButton *>("settingsButton"), &model));
    const QRect settingsWindow = desktop.waitForWindow("Settings");
    ASSERT_FALSE(settingsWindow.isNull());
    screenshot("2-settings");
    auto *tabs = settingsModel.findChild<QTabWidget *>("tabWidget");
    settingsModel.resize(settingsWindow.size());
    settingsModel.show();
    tabs->setCurrentIndex(1);
    QCoreApplication::processEvents();
    QTabBar *bar = tabs->tabBar();
    clickAt(settingsWindow.topLeft() + bar->mapTo(&settingsModel, bar->tabRect(1).center()));

    screenshot("3-pointing");
    auto *slider = settingsModel.findChild<QSlider *>("mouseSensitivityXSlider");
    const QPoint handle =
        settingsWindow.topLeft() + slider->mapTo(&settingsModel, handleOf(slider).center());
    const QPoint leftEnd = settingsWindow.topLeft() + slider->mapTo(&settingsModel, QPoint(0, 0)) +
                           QPoint(-20, handleOf(slider).center().y());
    xdotool(
        {"mousemove", QString::number(handle.x()), QString::number(handle.y()), "mousedown", "1"});
    for (int step = 1; step <= 10; ++step) {
        const int x = handle.x() + (leftEnd.x() - handle.x()) * step / 10;
        xdotool({"mousemove", QString::number(x), QString::number(handle.y())});
    }
    xdotool({"mouseup", "1"});
    screenshot("4-dragged");

    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return QSettings(settingsFile, QSettings::IniFormat).value(MOUSE_SENSIVITY_X).toInt() ==
                   1;
        },
        10000));

    // To look at: every page as the program shows it.
    if (!qEnvironmentVariableIsEmpty("TOVRA_SCREENSHOTS")) {
        for (int tab = 0; tab < tabs->count(); ++tab) {
            clickAt(settingsWindow.topLeft() +
                    bar->mapTo(&settingsModel, bar->tabRect(tab).center()));
            QTest::qWait(500);
            screenshot(qPrintable(QStringLiteral("tab-%1").arg(tab + 1)));
        }
    }

    // Closed with its Close button, out of the main window's way.
    clickAt(settingsWindow.topLeft() +
            centreOf(settingsModel.findChild<QPushButton *>("closeButton"), &settingsModel));
    ASSERT_TRUE(desktop.waitUntilGone("Settings"));
    clickAt(mainWindow.topLeft() + centreOf(model.findChild<QPushButton *>("playButton"), &model));
    screenshot("5-play");
    ASSERT_TRUE(pointerMovesWithin(desktop, 60000));
    const Travel after = measureTravel(desktop, 200);
    std::printf("after: across %.0f along %.0f\n", after.across, after.along);
    // A fifth of the gain across, the same along.
    EXPECT_LT(after.ratio(), before.ratio() / 2);

    screenshot("6-resumed");

    xdotool({"mousemove", QString::number(mainWindow.center().x()),
             QString::number(mainWindow.top() + 5), "click", "1"});
    xdotool({"key", "alt+F4"});
    ASSERT_FALSE(desktop.waitForWindow(title, 2).isNull());
    xdotool({"key", "Return"});
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(QSettings(settingsFile, QSettings::IniFormat).value(MOUSE_SENSIVITY_X).toInt(), 1);
}

} // namespace

int main(int argc, char **argv)
{
    return runTestsOnPrivateDesktop(argc, argv, false);
}
