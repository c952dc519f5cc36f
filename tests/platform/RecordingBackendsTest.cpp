#include "platform/Platform.h"
#include "platform/recording/CallLog.h"
#include "platform/recording/RecordingAutostart.h"
#include "platform/recording/RecordingMouseParameters.h"
#include "platform/recording/RecordingProcess.h"
#include "platform/recording/RecordingSoundPlayer.h"
#include "tests/platform/WavFixtures.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <thread>

using namespace platform;

namespace {
struct Recording : ::testing::Test
{
    void SetUp() override { installRecording(); }
    void TearDown() override { uninstall(); }
};
using RecordingMouse = Recording;
using RecordingProcessTest = Recording;
using RecordingSound = Recording;
using RecordingAutostartTest = Recording;
} // namespace

TEST(PlatformRegistry, WithNothingInstalledTheAccessorsGiveTheRecordingBackEnds)
{
    uninstall();
    EXPECT_EQ(installedBackend(), Backend::None);
    EXPECT_EQ(&mouseParameters(), &recordingMouseParameters());
    EXPECT_EQ(&process(), &recordingProcess());
    EXPECT_EQ(&soundPlayer(), &recordingSoundPlayer());
    EXPECT_EQ(&autostart(), &recordingAutostart());
}

TEST(PlatformRegistry, InstallRecordingStartsFromACleanState)
{
    installRecording();
    recordingMouseParameters().setFailing(true);
    mouseParameters().setSpeed(3);
    recordingAutostart().setEntryPath(QString());
    ASSERT_FALSE(recordingLog().entries().isEmpty());

    installRecording();
    EXPECT_EQ(installedBackend(), Backend::Recording);
    EXPECT_TRUE(recordingLog().entries().isEmpty());
    EXPECT_TRUE(mouseParameters().setSpeed(3));
    EXPECT_EQ(autostart().entryPath(), RecordingAutostart::defaultEntryPath());
    uninstall();
}

TEST(PlatformRegistry, ReadsFromManyThreadsSeeTheSameServices)
{
    installRecording();
    std::vector<std::thread> readers;
    std::atomic<int> same{0};
    for (int i = 0; i < 8; ++i) {
        readers.emplace_back([&] {
            for (int n = 0; n < 1000; ++n)
                same += &mouseParameters() == &recordingMouseParameters() &&
                        &soundPlayer() == &recordingSoundPlayer();
        });
    }
    for (std::thread &t : readers)
        t.join();
    EXPECT_EQ(same, 8000);
    uninstall();
}

TEST(CallLog, RecordsServiceCallArgumentsAndSteadyTime)
{
    CallLog log;
    const qint64 before = CallLog::nowMs();
    log.add("mouse", "setSpeed", "15");
    log.add("sound", "stop");
    const auto entries = log.entries();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].service, "mouse");
    EXPECT_EQ(entries[0].call, "setSpeed");
    EXPECT_EQ(entries[0].args, "15");
    EXPECT_GE(entries[0].timeMs, before);
    EXPECT_GE(entries[1].timeMs, entries[0].timeMs);
    EXPECT_EQ(log.calls(), QStringList({"setSpeed(15)", "stop()"}));
    EXPECT_EQ(log.calls("sound"), QStringList({"stop()"}));
    EXPECT_EQ(log.count("mouse", "setSpeed"), 1);
}

TEST(CallLog, TakesCallsFromSeveralThreads)
{
    CallLog log;
    std::vector<std::thread> writers;
    for (int i = 0; i < 4; ++i)
        writers.emplace_back([&log] {
            for (int n = 0; n < 500; ++n)
                log.add("sound", "playWav", QString::number(n));
        });
    for (std::thread &t : writers)
        t.join();
    EXPECT_EQ(log.count("sound", "playWav"), 2000);
}

TEST_F(RecordingMouse, LogsEachCallWithItsArguments)
{
    MouseParameters &mouse = mouseParameters();
    const MouseParameters::Snapshot saved = mouse.snapshot();
    mouse.setSpeed(15);
    mouse.setEnhancedPrecision(true);
    mouse.setWheelLines(5);
    mouse.restore(saved);
    EXPECT_EQ(
        recordingLog().calls("mouse"),
        QStringList({"snapshot()", "setSpeed(15)", "setEnhancedPrecision(true)", "setWheelLines(5)",
                     "restore(valid=1 accel=2/1 threshold=4 speed=10 wheelLines=3)"}));
}

TEST_F(RecordingMouse, StartsFromTheXServerDefaults)
{
    const MouseParameters::Snapshot s = mouseParameters().snapshot();
    EXPECT_TRUE(s.valid);
    EXPECT_EQ(s.accelNumerator, 2);
    EXPECT_EQ(s.accelDenominator, 1);
    EXPECT_EQ(s.threshold, 4);
    EXPECT_EQ(s.speed, 10);
    EXPECT_EQ(s.wheelLines, 3u);
}

TEST_F(RecordingMouse, ComposesSpeedAndPrecisionLikeTheX11BackEnd)
{
    MouseParameters &mouse = mouseParameters();
    EXPECT_TRUE(mouse.setSpeed(15));
    auto now = recordingMouseParameters().current();
    EXPECT_EQ((std::tuple(now.accelNumerator, now.accelDenominator, now.threshold)),
              std::tuple(3, 2, 1));
    EXPECT_TRUE(mouse.setEnhancedPrecision(true));
    now = recordingMouseParameters().current();
    EXPECT_EQ((std::tuple(now.accelNumerator, now.accelDenominator, now.threshold)),
              std::tuple(3, 1, 4));
    EXPECT_TRUE(recordingMouseParameters().enhancedPrecision());
    EXPECT_TRUE(mouse.setSpeed(40));
    EXPECT_EQ(mouse.speed(), 20);
    EXPECT_TRUE(mouse.setWheelLines(7));
    EXPECT_EQ(mouse.wheelLines(), 7u);
}

TEST_F(RecordingMouse, RestorePutsTheUsersValuesBackExactly)
{
    MouseParameters::Snapshot user;
    user.accelNumerator = 7;
    user.accelDenominator = 3;
    user.threshold = 0;
    user.speed = 6;
    user.wheelLines = 9;
    recordingMouseParameters().setCurrent(user);

    MouseParameters &mouse = mouseParameters();
    const MouseParameters::Snapshot saved = mouse.snapshot();
    mouse.setSpeed(18);
    mouse.setEnhancedPrecision(true);
    mouse.setWheelLines(1);
    ASSERT_TRUE(mouse.restore(saved));
    const auto now = recordingMouseParameters().current();
    EXPECT_EQ(now.accelNumerator, 7);
    EXPECT_EQ(now.accelDenominator, 3);
    EXPECT_EQ(now.threshold, 0);
    EXPECT_EQ(now.speed, 6);
    EXPECT_EQ(now.wheelLines, 9u);
}

TEST_F(RecordingMouse, WhenToldToFailNothingChanges)
{
    recordingMouseParameters().setFailing(true);
    MouseParameters &mouse = mouseParameters();
    EXPECT_FALSE(mouse.snapshot().valid);
    EXPECT_FALSE(mouse.setSpeed(15));
    EXPECT_FALSE(mouse.setEnhancedPrecision(true));
    EXPECT_FALSE(mouse.setWheelLines(8));
    MouseParameters::Snapshot saved;
    saved.valid = true;
    EXPECT_FALSE(mouse.restore(saved));
    EXPECT_EQ(recordingMouseParameters().current().speed, 10);
    EXPECT_EQ(recordingLog().count("mouse", "setSpeed"), 1);
}

TEST_F(RecordingMouse, RestoreRefusesASnapshotThatWasNeverTaken)
{
    EXPECT_FALSE(mouseParameters().restore(MouseParameters::Snapshot()));
}

TEST_F(RecordingProcessTest, RemembersThatThePriorityWasRaised)
{
    EXPECT_FALSE(recordingProcess().priorityRaised());
    EXPECT_TRUE(process().raisePriority());
    EXPECT_TRUE(recordingProcess().priorityRaised());
    EXPECT_EQ(recordingLog().calls("process"), QStringList({"raisePriority()"}));
}

TEST_F(RecordingProcessTest, CanBeToldToFailLikeAnOrdinaryUser)
{
    recordingProcess().setFailing(true);
    EXPECT_FALSE(process().raisePriority());
    EXPECT_FALSE(recordingProcess().priorityRaised());
}

TEST_F(RecordingSound, CountsPlaysAndRemembersWhatWasCutAndStopped)
{
    const QByteArray a = wav::make(wav::constant(100, 1));
    const QByteArray b = wav::make(wav::constant(300, 2));
    SoundPlayer &sound = soundPlayer();
    EXPECT_TRUE(sound.playWav(a));
    EXPECT_TRUE(sound.playWav(b));
    RecordingSoundPlayer &r = recordingSoundPlayer();
    EXPECT_EQ(r.plays(), 2);
    EXPECT_EQ(r.lastDataSize(), b.size());
    EXPECT_EQ(r.lastCut(), QString("memory:%1").arg(a.size()));
    EXPECT_EQ(r.playing(), QString("memory:%1").arg(b.size()));
    sound.stop();
    EXPECT_EQ(r.stops(), 1);
    EXPECT_EQ(r.lastStopped(), QString("memory:%1").arg(b.size()));
    EXPECT_TRUE(r.playing().isEmpty());
    EXPECT_EQ(recordingLog().calls("sound"),
              QStringList({QString("playWav(%1 bytes)").arg(a.size()),
                           QString("playWav(%1 bytes)").arg(b.size()), "stop()"}));
}

TEST_F(RecordingSound, RefusesMalformedDataLikeTheRealPlayer)
{
    const QByteArray good = wav::make(wav::constant(100, 1));
    SoundPlayer &sound = soundPlayer();
    EXPECT_TRUE(sound.isPlayableWav(good));
    EXPECT_FALSE(sound.isPlayableWav(good.left(50)));
    EXPECT_FALSE(sound.playWav(good.left(50)));
    EXPECT_FALSE(sound.playWav("garbage"));
    EXPECT_EQ(recordingSoundPlayer().plays(), 0);
}

TEST_F(RecordingSound, PlaysFilesByPath)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Tick-Short.wav");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(wav::make(wav::constant(100, 1)));
    file.close();
    EXPECT_TRUE(soundPlayer().playFile(path));
    EXPECT_EQ(recordingSoundPlayer().playing(), path);
    EXPECT_FALSE(soundPlayer().playFile(dir.filePath("missing.wav")));
    EXPECT_EQ(recordingLog().count("sound", "playFile"), 2);
}

TEST_F(RecordingSound, WithoutADeviceNothingPlays)
{
    recordingSoundPlayer().setDeviceAvailable(false);
    EXPECT_FALSE(soundPlayer().playWav(wav::make(wav::constant(100, 1))));
    EXPECT_EQ(recordingSoundPlayer().plays(), 0);
}

TEST_F(RecordingAutostartTest, EnableRemembersTheProgramAndDisableForgetsIt)
{
    Autostart &a = autostart();
    EXPECT_FALSE(a.isEnabled());
    EXPECT_TRUE(a.enable("/opt/Tovra Mouse/TovraMouse"));
    EXPECT_TRUE(a.isEnabled());
    EXPECT_EQ(recordingAutostart().programPath(), "/opt/Tovra Mouse/TovraMouse");
    EXPECT_TRUE(a.disable());
    EXPECT_FALSE(recordingAutostart().enabled());
    EXPECT_EQ(recordingLog().calls("autostart"),
              QStringList({"isEnabled()", "enable(/opt/Tovra Mouse/TovraMouse)", "isEnabled()",
                           "disable()"}));
}

TEST_F(RecordingAutostartTest, CanFailOrHaveNoPlace)
{
    recordingAutostart().setFailing(true);
    EXPECT_FALSE(autostart().enable("/p"));
    EXPECT_FALSE(autostart().isEnabled());
    recordingAutostart().setFailing(false);
    recordingAutostart().setEntryPath(QString());
    EXPECT_TRUE(autostart().entryPath().isEmpty());
    EXPECT_FALSE(autostart().enable("/p"));
}
