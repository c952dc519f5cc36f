#include "hotkeys/QHotkey.h"
#include "hotkeys/QHotkeyPrivateFake.h"
#include "hotkeys/QHotkeyPrivateX11.h"
#include "platform/Platform.h"
#include "platform/recording/CallLog.h"
#include "platform/recording/RecordingKeyGrabs.h"
#include "tests/hotkeys/HotkeyWarnings.h"

#include <QCoreApplication>
#include <QThread>
#include <QX11Info>
#include <gtest/gtest.h>

#include <atomic>

namespace {

using Native = QHotkey::NativeShortcut;

// Counts a hotkey's signals as they arrive.
struct SignalCounter
{
    explicit SignalCounter(QHotkey *hotkey)
    {
        QObject::connect(hotkey, &QHotkey::activated, &context, [this] { ++activated; });
        QObject::connect(hotkey, &QHotkey::released, &context, [this] { ++released; });
        QObject::connect(hotkey, &QHotkey::registeredChanged, &context,
                         [this](bool registered) { changes.append(registered); });
    }
    QObject context; // the connections end with the counter
    int activated = 0;
    int released = 0;
    QList<bool> changes;
};

class QHotkeyTest : public ::testing::Test
{
protected:
    Native native(const QKeySequence &sequence)
    {
        const int key = sequence[0];
        return fake.nativeShortcut(Qt::Key(key & ~int(Qt::KeyboardModifierMask)),
                                   Qt::KeyboardModifiers(key & int(Qt::KeyboardModifierMask)));
    }
    QString portable(const char *sequence)
    {
        return QKeySequence(sequence).toString(QKeySequence::PortableText);
    }

    QHotkeyPrivateFake fake;
};

TEST_F(QHotkeyTest, HotkeysSharingACombinationRegisterItOnceAndGiveItBackWithTheLast)
{
    QHotkey first(QKeySequence("Shift+Alt+F1"), true);
    QHotkey second(QKeySequence("Shift+Alt+F1"), true);
    SignalCounter firstCount(&first), secondCount(&second);
    ASSERT_TRUE(first.isRegistered());
    ASSERT_TRUE(second.isRegistered());
    ASSERT_EQ(fake.calls.size(), 1);
    EXPECT_TRUE(fake.calls[0].registering);

    fake.press(native(first.shortcut()));
    EXPECT_TRUE(waitUntil([&] { return firstCount.activated == 1 && secondCount.activated == 1; }));

    EXPECT_TRUE(first.setRegistered(false));
    EXPECT_EQ(fake.calls.size(), 1) << "the second hotkey still holds the combination";
    EXPECT_TRUE(fake.held.contains(native(first.shortcut())));
    fake.press(native(first.shortcut()));
    EXPECT_TRUE(waitUntil([&] { return secondCount.activated == 2; }));
    EXPECT_EQ(firstCount.activated, 1);

    EXPECT_TRUE(second.setRegistered(false));
    ASSERT_EQ(fake.calls.size(), 2);
    EXPECT_FALSE(fake.calls[1].registering);
    EXPECT_TRUE(fake.held.isEmpty());
}

TEST_F(QHotkeyTest, ActivationAndReleaseArriveQueuedInOrder)
{
    QHotkey hotkey(QKeySequence("Shift+Alt+F2"), true);
    QStringList order;
    QObject::connect(&hotkey, &QHotkey::activated, [&] { order << "activated"; });
    QObject::connect(&hotkey, &QHotkey::released, [&] { order << "released"; });

    fake.press(native(hotkey.shortcut()));
    fake.release(native(hotkey.shortcut()));
    fake.press(native(QKeySequence("Shift+Alt+F3"))); // held by nobody: nothing happens
    EXPECT_TRUE(order.isEmpty()) << "signals must not be emitted from inside the back end";

    EXPECT_TRUE(waitUntil([&] { return order.size() == 2; }));
    EXPECT_EQ(order, QStringList({"activated", "released"}));
}

TEST_F(QHotkeyTest, AnEmptyHotkeyCannotBeRegistered)
{
    QHotkey hotkey;
    EXPECT_TRUE(hotkey.shortcut().isEmpty());
    EXPECT_FALSE(hotkey.isRegistered());
    EXPECT_FALSE(hotkey.setRegistered(true));
    EXPECT_TRUE(hotkey.setRegistered(false)) << "already as asked";
    EXPECT_TRUE(hotkey.setShortcut(Qt::Key_unknown, Qt::ShiftModifier, true));
    EXPECT_TRUE(hotkey.shortcut().isEmpty());
    EXPECT_TRUE(fake.calls.isEmpty());
}

TEST_F(QHotkeyTest, ASetHotkeyRegistersOnRequestAndChangesOnlyWithAutoRegister)
{
    QHotkey hotkey;
    EXPECT_TRUE(hotkey.setShortcut(QKeySequence("Ctrl+F5")));
    EXPECT_EQ(hotkey.shortcut(), QKeySequence("Ctrl+F5"));
    EXPECT_FALSE(hotkey.isRegistered());
    EXPECT_TRUE(fake.calls.isEmpty());

    EXPECT_TRUE(hotkey.setRegistered(true));
    EXPECT_TRUE(hotkey.isRegistered());
    EXPECT_TRUE(hotkey.setRegistered(true)) << "already as asked";
    EXPECT_EQ(fake.calls.size(), 1);

    EXPECT_FALSE(hotkey.setShortcut(QKeySequence("Ctrl+F6")));
    EXPECT_EQ(hotkey.shortcut(), QKeySequence("Ctrl+F5"));
    EXPECT_TRUE(hotkey.isRegistered());

    EXPECT_TRUE(hotkey.setShortcut(QKeySequence("Ctrl+F6"), true));
    EXPECT_EQ(hotkey.shortcut(), QKeySequence("Ctrl+F6"));
    EXPECT_TRUE(hotkey.isRegistered());
    EXPECT_EQ(fake.held, QSet<Native>({native(QKeySequence("Ctrl+F6"))}));

    EXPECT_TRUE(hotkey.resetShortcut());
    EXPECT_TRUE(hotkey.shortcut().isEmpty());
    EXPECT_FALSE(hotkey.isRegistered());
    EXPECT_TRUE(fake.held.isEmpty());
}

TEST_F(QHotkeyTest, RegisteredChangedReportsEachChangeOnce)
{
    QHotkey hotkey(QKeySequence("Meta+F7"));
    SignalCounter count(&hotkey);
    hotkey.setRegistered(true);
    hotkey.setRegistered(true);
    hotkey.setRegistered(false);
    hotkey.setRegistered(false);
    EXPECT_EQ(count.changes, QList<bool>({true, false}));
}

TEST_F(QHotkeyTest, ANativeShortcutSetDirectlyWorksWithoutAKeySequence)
{
    QHotkey hotkey;
    SignalCounter count(&hotkey);
    EXPECT_TRUE(hotkey.setNativeShortcut(Native(77, 5), true));
    EXPECT_TRUE(hotkey.isRegistered());
    EXPECT_TRUE(hotkey.shortcut().isEmpty());
    fake.press(Native(77, 5));
    EXPECT_TRUE(waitUntil([&] { return count.activated == 1; }));

    EXPECT_FALSE(hotkey.setNativeShortcut(Native())) << "registered, and no autoRegister";
    EXPECT_TRUE(hotkey.setNativeShortcut(Native(), true));
    EXPECT_FALSE(hotkey.isRegistered());
    EXPECT_FALSE(hotkey.setRegistered(true)) << "an invalid native shortcut is empty";
}

TEST_F(QHotkeyTest, ASequenceOfSeveralChordsKeepsTheFirstWithOneWarning)
{
    HotkeyWarnings warnings;
    QHotkey hotkey(QKeySequence("Ctrl+A, Ctrl+B"), true);
    EXPECT_EQ(hotkey.shortcut(), QKeySequence("Ctrl+A"));
    EXPECT_TRUE(hotkey.isRegistered());
    ASSERT_EQ(fake.calls.size(), 1);
    EXPECT_EQ(fake.calls[0].shortcut, native(QKeySequence("Ctrl+A")));
    EXPECT_EQ(warnings.messages(), QStringList({"Keysequences with multiple shortcuts are not "
                                                "allowed! Only the first shortcut will be used!"}));
}

TEST_F(QHotkeyTest, ARefusedRegistrationKeepsTheShortcutUnregisteredAndSaysWhy)
{
    HotkeyWarnings warnings;
    fake.refused.insert(native(QKeySequence("Shift+Alt+F2")));
    QHotkey hotkey;
    SignalCounter count(&hotkey);

    EXPECT_FALSE(hotkey.setShortcut(QKeySequence("Shift+Alt+F2"), true));
    EXPECT_EQ(hotkey.shortcut(), QKeySequence("Shift+Alt+F2"));
    EXPECT_FALSE(hotkey.isRegistered());
    EXPECT_TRUE(count.changes.isEmpty());
    EXPECT_TRUE(warnings.contains(QString("Failed to register %1. Error: Held by another program")
                                      .arg(portable("Shift+Alt+F2"))));

    fake.press(native(QKeySequence("Shift+Alt+F2")));
    fake.refused.clear();
    EXPECT_TRUE(hotkey.setRegistered(true)) << "free again: a retry succeeds";
    EXPECT_EQ(count.activated, 0) << "the press came while the hotkey was not registered";
}

TEST_F(QHotkeyTest, AnUnmappableKeyEmptiesTheHotkeyAndGivesUpTheOldCombination)
{
    HotkeyWarnings warnings;
    fake.unmappableKeys.insert(Qt::Key_F13);
    QHotkey hotkey(QKeySequence("Shift+Alt+F1"), true);

    EXPECT_FALSE(hotkey.setShortcut(QKeySequence("Shift+F13"), true));
    EXPECT_TRUE(hotkey.shortcut().isEmpty());
    EXPECT_FALSE(hotkey.isRegistered());
    EXPECT_TRUE(fake.held.isEmpty());
    EXPECT_TRUE(warnings.contains("Unable to map shortcut to native keys. Key:"));
}

TEST_F(QHotkeyTest, ARefusedUnregistrationStillTakesTheHotkeyOut)
{
    QHotkey hotkey(QKeySequence("Ctrl+Alt+F9"), true);
    SignalCounter count(&hotkey);
    HotkeyWarnings warnings;
    fake.refuseUnregistration = true;

    EXPECT_FALSE(hotkey.setRegistered(false));
    EXPECT_FALSE(hotkey.isRegistered());
    EXPECT_EQ(count.changes, QList<bool>({false}));
    EXPECT_TRUE(warnings.contains(QString("Failed to unregister %1. Error: Held by another program")
                                      .arg(portable("Ctrl+Alt+F9"))));
    fake.press(native(QKeySequence("Ctrl+Alt+F9")));
    QCoreApplication::processEvents();
    EXPECT_EQ(count.activated, 0);
}

TEST_F(QHotkeyTest, DestroyingARegisteredHotkeyGivesItsCombinationBack)
{
    {
        QHotkey hotkey(QKeySequence("Shift+Alt+F4"), true);
    }
    ASSERT_EQ(fake.calls.size(), 2);
    EXPECT_FALSE(fake.calls[1].registering);
    EXPECT_TRUE(fake.held.isEmpty());
}

TEST_F(QHotkeyTest, AnExplicitMappingTakesPrecedenceOverTheBackEnd)
{
    ASSERT_TRUE(QMetaObject::invokeMethod(&fake, "addMappingInvoked", Q_ARG(Qt::Key, Qt::Key_F1),
                                          Q_ARG(Qt::KeyboardModifiers, Qt::ShiftModifier),
                                          Q_ARG(QHotkey::NativeShortcut, Native(9, 9))));
    QHotkey hotkey(QKeySequence("Shift+F1"), true);
    ASSERT_EQ(fake.calls.size(), 1);
    EXPECT_EQ(fake.calls[0].shortcut, Native(9, 9));
    EXPECT_EQ(hotkey.shortcut(), QKeySequence("Shift+F1"));
}

TEST_F(QHotkeyTest, CallsFromAnotherThreadRunOnTheRegistryThreadAndSignalsReachTheHotkeyThread)
{
    QThread worker;
    worker.start();
    auto *hotkey = new QHotkey;
    hotkey->moveToThread(&worker);
    std::atomic<QThread *> activatedOn{nullptr};
    QObject::connect(hotkey, &QHotkey::activated, hotkey,
                     [&] { activatedOn = QThread::currentThread(); });

    std::atomic<int> registered{-1};
    QMetaObject::invokeMethod(hotkey, [&] {
        registered = hotkey->setShortcut(QKeySequence("Shift+Alt+F5"), true) ? 1 : 0;
    });
    ASSERT_TRUE(waitUntil([&] { return registered != -1; }));
    EXPECT_EQ(registered, 1);
    ASSERT_EQ(fake.calls.size(), 1);
    EXPECT_EQ(fake.calls[0].thread, QThread::currentThread());

    fake.press(native(QKeySequence("Shift+Alt+F5")));
    EXPECT_TRUE(waitUntil([&] { return activatedOn != nullptr; }));
    EXPECT_EQ(activatedOn, &worker);

    std::atomic<int> unregistered{-1};
    QMetaObject::invokeMethod(hotkey, [&] {
        unregistered = hotkey->setRegistered(false) ? 1 : 0;
        delete hotkey;
    });
    ASSERT_TRUE(waitUntil([&] { return unregistered != -1; }));
    EXPECT_EQ(unregistered, 1);
    ASSERT_EQ(fake.calls.size(), 2);
    EXPECT_EQ(fake.calls[1].thread, QThread::currentThread());
    worker.quit();
    worker.wait();
}

TEST(QHotkeyPrivateX11Test, WithoutAnX11DisplayCombinationsAreRefusedWithAWarning)
{
    // This test always runs on the offscreen platform: the desktop's key grabs are there,
    // Qt's own X connection is not.
    ASSERT_FALSE(QX11Info::isPlatformX11());
    ASSERT_EQ(platform::installDefault(), platform::Backend::Native)
        << "needs an X server (scripts/test.sh runs it under xvfb-run)";
    HotkeyWarnings warnings;
    QHotkeyPrivateX11 registry;
    EXPECT_FALSE(registry.nativeShortcut(Qt::Key_F1, Qt::ShiftModifier).valid);
    EXPECT_TRUE(warnings.contains("No X11 display"));
}

TEST(QHotkeyPrivateX11Test, ARepeatQueuedBehindTheKeyboardStateDoesNotActivateAgain)
{
    // The desktop's key state is read by a poll while key events still wait in the queue:
    // the state can say "up" before a repeat sent while the key was held comes through.
    platform::installRecording();
    platform::RecordingKeyGrabs &keys = platform::recordingKeyGrabs();
    const Native shortcut(quint32(Qt::Key_F1), quint32(Qt::ShiftModifier | Qt::AltModifier));
    QHotkey hotkey;
    ASSERT_TRUE(hotkey.setNativeShortcut(shortcut, true));
    SignalCounter count(&hotkey);
    const auto play = [&](platform::KeyGrabs::KeyEvent kind) {
        platform::RecordingKeyGrabs::Event event{kind, shortcut.key, shortcut.modifier};
        QHotkeyPrivate::instance()->nativeEventFilter(platform::RecordingKeyGrabs::kEventType,
                                                      &event, nullptr);
    };
    const auto polls = [] { return platform::recordingLog().count("keys", "isKeyDown"); };

    keys.setKeyDown(shortcut.key, true);
    play(platform::KeyGrabs::KeyEvent::Press);
    ASSERT_TRUE(waitUntil([&] { return count.activated == 1; }));
    keys.setKeyDown(shortcut.key, false);
    const int before = polls();
    ASSERT_TRUE(waitUntil([&] { return polls() > before; }));
    play(platform::KeyGrabs::KeyEvent::Press);
    play(platform::KeyGrabs::KeyEvent::Release);
    ASSERT_TRUE(waitUntil([&] { return count.released >= 1; }));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(count.activated, 1);
    EXPECT_EQ(count.released, 1);
}

} // namespace
