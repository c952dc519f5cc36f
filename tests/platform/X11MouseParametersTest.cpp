#include "platform/x11/X11MouseParameters.h"
#include "platform/Platform.h"
#include "platform/linux/AlsaSoundPlayer.h"
#include "platform/linux/LinuxProcess.h"
#include "platform/linux/XdgAutostart.h"
#include "platform/recording/RecordingMouseParameters.h"
#include "platform/x11/PointerControl.h"
#include "tests/platform/PrivateXServer.h"
#include "tests/platform/WarningCounter.h"

#include <gtest/gtest.h>
#include <memory>
#include <thread>

#include <X11/Xlib.h>
#undef None // Xlib's macros; gtest and Backend::None use the names
#undef Bool

using platform::MouseParameters;
using platform::PointerControl;
using platform::X11MouseParameters;

namespace {

PrivateXServer *server = nullptr;

// The test's own view of the X server: its own connection, as another client would see it.
class XClient
{
public:
    XClient()
        : display(XOpenDisplay(nullptr))
    {}
    ~XClient()
    {
        if (display)
            XCloseDisplay(display);
    }
    PointerControl control() const
    {
        PointerControl c;
        XGetPointerControl(display, &c.numerator, &c.denominator, &c.threshold);
        return c;
    }
    void setControl(int numerator, int denominator, int threshold) const
    {
        XChangePointerControl(display, True, True, numerator, denominator, threshold);
        XSync(display, False);
    }
    Display *display;
};

struct X11Mouse : ::testing::Test
{
    void SetUp() override
    {
        ASSERT_TRUE(server && server->isRunning()) << "Xvfb could not be started";
        ASSERT_TRUE(x.display);
        x.setControl(2, 1, 4); // the server's default, whatever an earlier test left
    }
    XClient x;
    X11MouseParameters mouse;
};

} // namespace

TEST_F(X11Mouse, SnapshotReadsThePointerControlAndTheKeptValues)
{
    x.setControl(7, 3, 5);
    const MouseParameters::Snapshot s = mouse.snapshot();
    EXPECT_TRUE(s.valid);
    EXPECT_EQ(s.accelNumerator, 7);
    EXPECT_EQ(s.accelDenominator, 3);
    EXPECT_EQ(s.threshold, 5);
    EXPECT_EQ(s.speed, 10);
    EXPECT_EQ(s.wheelLines, 3u);
}

TEST_F(X11Mouse, SpeedWithoutPrecisionIsALinearGainOnAllMotion)
{
    for (int speed : {1, 4, 10, 15, 20}) {
        ASSERT_TRUE(mouse.setSpeed(speed));
        EXPECT_EQ(x.control(), PointerControl::forSpeed(speed, false)) << speed;
        EXPECT_EQ(mouse.speed(), speed);
    }
    ASSERT_TRUE(mouse.setSpeed(15));
    EXPECT_EQ(x.control(), (PointerControl{3, 2, 1}));
    ASSERT_TRUE(mouse.setSpeed(0));
    EXPECT_EQ(mouse.speed(), 1);
    EXPECT_EQ(x.control(), (PointerControl{1, 10, 1}));
    ASSERT_TRUE(mouse.setSpeed(35));
    EXPECT_EQ(mouse.speed(), 20);
    EXPECT_EQ(x.control(), (PointerControl{2, 1, 1}));
}

TEST_F(X11Mouse, EnhancedPrecisionDoublesTheGainAboveFourPixels)
{
    ASSERT_TRUE(mouse.setSpeed(15));
    ASSERT_TRUE(mouse.setEnhancedPrecision(true));
    EXPECT_EQ(x.control(), (PointerControl{3, 1, 4}));
    ASSERT_TRUE(mouse.setSpeed(7)); // the speed keeps the precision
    EXPECT_EQ(x.control(), (PointerControl{7, 5, 4}));
    ASSERT_TRUE(mouse.setEnhancedPrecision(false));
    EXPECT_EQ(x.control(), (PointerControl{7, 10, 1}));
}

TEST_F(X11Mouse, RestorePutsTheExactValuesBack)
{
    // Unusual user values, threshold 0 (the server's polynomial curve) included.
    for (const PointerControl &user : {PointerControl{7, 3, 0}, PointerControl{2, 1, 4},
                                       PointerControl{1, 1, 1}, PointerControl{20, 7, 31}}) {
        x.setControl(user.numerator, user.denominator, user.threshold);
        ASSERT_EQ(x.control(), user);
        const MouseParameters::Snapshot saved = mouse.snapshot();

        ASSERT_TRUE(mouse.setSpeed(17));
        ASSERT_TRUE(mouse.setEnhancedPrecision(true));
        ASSERT_TRUE(mouse.setWheelLines(9));
        ASSERT_FALSE(x.control() == user);

        ASSERT_TRUE(mouse.restore(saved));
        EXPECT_EQ(x.control(), user);
        EXPECT_EQ(mouse.speed(), 10);
        EXPECT_EQ(mouse.wheelLines(), 3u);
        ASSERT_TRUE(mouse.setEnhancedPrecision(false));
        ASSERT_TRUE(mouse.restore(saved));
    }
}

TEST_F(X11Mouse, RestoreRefusesValuesThatWereNeverSavedWithOneLogLineEach)
{
    WarningCounter warnings("Mouse parameters");
    EXPECT_FALSE(mouse.restore(MouseParameters::Snapshot()));
    MouseParameters::Snapshot bad = mouse.snapshot();
    bad.accelDenominator = 0; // the server would answer BadValue
    EXPECT_FALSE(mouse.restore(bad));
    bad.accelDenominator = 1;
    bad.threshold = -7;
    EXPECT_FALSE(mouse.restore(bad));
    EXPECT_EQ(warnings.count(), 3);
    EXPECT_EQ(x.control(), (PointerControl{2, 1, 4}));
}

TEST_F(X11Mouse, WheelLinesAreKeptByTheLayer)
{
    EXPECT_EQ(mouse.wheelLines(), 3u);
    ASSERT_TRUE(mouse.setWheelLines(12));
    EXPECT_EQ(mouse.wheelLines(), 12u);
    EXPECT_EQ(mouse.snapshot().wheelLines, 12u);
    EXPECT_EQ(x.control(), (PointerControl{2, 1, 4}));
}

TEST_F(X11Mouse, TheGuiAndTheWorkerThreadMayCallAtOnce)
{
    const MouseParameters::Snapshot saved = mouse.snapshot();
    std::thread worker([&] {
        for (int i = 0; i < 300; ++i)
            mouse.setSpeed(1 + i % 20);
    });
    for (int i = 0; i < 300; ++i) {
        mouse.setEnhancedPrecision(i % 2);
        EXPECT_TRUE(mouse.snapshot().valid);
    }
    worker.join();
    ASSERT_TRUE(mouse.restore(saved));
    EXPECT_EQ(x.control(), (PointerControl{2, 1, 4}));
}

TEST(X11MouseWithoutDisplay, EveryCallFailsWithALogLine)
{
    const QByteArray display = qgetenv("DISPLAY");
    qunsetenv("DISPLAY");
    {
        WarningCounter warnings("Mouse parameters");
        X11MouseParameters mouse;
        EXPECT_FALSE(mouse.snapshot().valid);
        EXPECT_FALSE(mouse.setSpeed(12));
        EXPECT_FALSE(mouse.setEnhancedPrecision(true));
        EXPECT_EQ(mouse.speed(), 10);
        EXPECT_EQ(warnings.count(), 4); // the connection, then one per call
    }
    qputenv("DISPLAY", display);
}

TEST(PlatformRegistryWithDisplay, InstallDefaultChoosesTheNativeBackEnds)
{
    ASSERT_TRUE(server && server->isRunning());
    EXPECT_EQ(platform::installDefault(), platform::Backend::Native);
    EXPECT_EQ(platform::installedBackend(), platform::Backend::Native);
    EXPECT_NE(dynamic_cast<X11MouseParameters *>(&platform::mouseParameters()), nullptr);
    EXPECT_NE(dynamic_cast<platform::LinuxProcess *>(&platform::process()), nullptr);
    EXPECT_NE(dynamic_cast<platform::AlsaSoundPlayer *>(&platform::soundPlayer()), nullptr);
    EXPECT_NE(dynamic_cast<platform::XdgAutostart *>(&platform::autostart()), nullptr);
    EXPECT_TRUE(platform::mouseParameters().snapshot().valid);

    platform::uninstall();
    EXPECT_EQ(platform::installedBackend(), platform::Backend::None);
    EXPECT_EQ(&platform::mouseParameters(), &platform::recordingMouseParameters());
}

TEST(PlatformRegistryWithDisplay, InstallDefaultFallsBackToRecordingWithoutADisplay)
{
    const QByteArray display = qgetenv("DISPLAY");
    qunsetenv("DISPLAY");
    EXPECT_EQ(platform::installDefault(), platform::Backend::Recording);
    EXPECT_EQ(&platform::mouseParameters(), &platform::recordingMouseParameters());
    platform::uninstall();
    qputenv("DISPLAY", display);
}

// The private X server starts only when tests run (not when ctest lists them).
class PrivateServerEnvironment : public ::testing::Environment
{
public:
    void SetUp() override { server = new PrivateXServer; }
    void TearDown() override
    {
        delete server;
        server = nullptr;
    }
};

int main(int argc, char **argv)
{
    XInitThreads(); // as the program does first, through installDefault()
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new PrivateServerEnvironment);
    return RUN_ALL_TESTS();
}
