// The dwell countdown ring, the notice box and the toast, driven as the program drives them.

#include "core/FacialDetectionApp.h"
#include "feedback/CountdownTimer.h"
#include "feedback/MessageWidget.h"
#include "feedback/TransparentTextWidget.h"
#include "platform/Platform.h"
#include "platform/recording/RecordingPointerScreens.h"
#include "tests/feedback/QtOverlayChecks.h"
#include "tests/support/Patience.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

namespace {

FacialDetectionApp *app()
{
    return FacialDetectionApp::instance();
}

void tick(CountdownTimer &ring, int times)
{
    for (int i = 0; i < times; ++i)
        QMetaObject::invokeMethod(&ring, "updateTimer");
}

struct Countdown : ::testing::Test
{
    CountdownTimer ring{nullptr, 60000, 0, 0, 200, 10, QColor(Qt::blue)};
};

} // namespace

TEST_F(Countdown, IsBuiltHiddenAsAClickThroughToolWindow)
{
    EXPECT_FALSE(ring.isVisible());
    EXPECT_EQ(ring.size(), QSize(220, 220));
    EXPECT_EQ(ring.windowType(), Qt::Tool);
    EXPECT_TRUE(ring.testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_TRUE(ring.testAttribute(Qt::WA_TransparentForMouseEvents));
    expectClickThroughAndNeverFocused(&ring);
}

TEST_F(Countdown, AttributesSizeTheRingAroundItsCentre)
{
    ring.OnSetAttributes(1000, 800, 600, 40, 10, Qt::blue);
    EXPECT_EQ(ring.geometry(), QRect(770, 570, 60, 60));
    EXPECT_EQ(ring.arcRect(), QRect(10, 10, 40, 40));
    EXPECT_EQ(ring.spanAngle(), 0);
    EXPECT_FALSE(ring.isVisible());
}

TEST_F(Countdown, FillsClockwiseEveryTwentyFiveMillisecondsAndHidesWhenDone)
{
    ring.OnSetAttributes(1000, 800, 600, 40, 10, Qt::blue);
    ring.OnStartTimer();
    EXPECT_TRUE(ring.isVisible());
    tick(ring, 10);
    EXPECT_EQ(ring.remainingMs(), 750);
    EXPECT_EQ(ring.spanAngle(), -1440); // a quarter turn clockwise from 12 o'clock
    tick(ring, 29);
    EXPECT_TRUE(ring.isVisible());
    tick(ring, 1);
    EXPECT_FALSE(ring.isVisible());
    EXPECT_FALSE(ring.isCounting());
    EXPECT_EQ(ring.spanAngle(), -5760);

    ring.OnSetAttributes(1010, 800, 600, 40, 10, Qt::blue);
    ring.OnStartTimer();
    tick(ring, 40);
    EXPECT_TRUE(ring.isVisible());
    tick(ring, 1);
    EXPECT_FALSE(ring.isVisible());
}

TEST_F(Countdown, ASecondStartNeitherRestartsNorRefills)
{
    ring.OnSetAttributes(1000, 100, 100, 40, 10, Qt::blue);
    ring.OnStartTimer();
    tick(ring, 4);
    ring.OnStartTimer();
    EXPECT_EQ(ring.remainingMs(), 900);
    ring.OnStopTimer();
    EXPECT_FALSE(ring.isVisible());
    EXPECT_EQ(ring.remainingMs(), 0);
    ring.OnStartTimer(); // run out: ends at the next tick
    tick(ring, 1);
    EXPECT_FALSE(ring.isVisible());
}

TEST_F(Countdown, NewAttributesWhileCountingStopAndHideTheRing)
{
    ring.OnSetAttributes(1000, 100, 100, 40, 10, Qt::blue);
    ring.OnStartTimer();
    ring.OnSetAttributes(500, 300, 300, 20, 5, Qt::red);
    EXPECT_FALSE(ring.isVisible());
    EXPECT_FALSE(ring.isCounting());
    EXPECT_EQ(ring.remainingMs(), 500);
    EXPECT_EQ(ring.geometry(), QRect(285, 285, 30, 30));
}

TEST_F(Countdown, ACountdownOfNoTimeCountsAsElapsed)
{
    for (int total : {0, -25}) {
        ring.OnSetAttributes(total, 100, 100, 40, 10, Qt::blue);
        EXPECT_EQ(ring.spanAngle(), -5760) << total;
        ring.grab(); // paints without dividing by the total
        ring.OnStartTimer();
        tick(ring, 1);
        EXPECT_FALSE(ring.isVisible()) << total;
    }
}

TEST_F(Countdown, FollowsTheApplicationSignalsOfTheWorkerThread)
{
    onWorkerThread([] {
        emit app()->cdtSetAttributes(2000, 400, 300, 40, 10, Qt::blue);
        emit app()->cdtStartTimer();
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return ring.isVisible(); }, patientMs(5000)));
    EXPECT_EQ(ring.geometry(), QRect(370, 270, 60, 60));
    onWorkerThread([] { emit app()->cdtStopTimer(); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return !ring.isVisible(); }, patientMs(5000)));
}

namespace {

struct Notice : ::testing::Test
{
    void SetUp() override
    {
        platform::installRecording();
        platform::recordingPointerScreens().setScreens(QRect(0, 0, 1920, 1080));
    }
    QFont arial{QStringLiteral("Arial"), 15};
    QString text = QStringLiteral("Pointer Frozen");
};

} // namespace

TEST_F(Notice, IsABoldBoxSizedToItsTextAndPlacedFromTheGivenPoint)
{
    TransparentTextWidget box(nullptr, text, Qt::white, arial, Qt::black, 127, 500, 500);
    const QFontMetrics metrics(box.textFont());
    EXPECT_EQ(box.textFont().weight(), 75);
    const QSize textSize = metrics.size(Qt::TextSingleLine, text);
    EXPECT_EQ(box.size(), textSize + QSize(30, 30));
    EXPECT_EQ(box.pos(), QPoint(500 - (metrics.horizontalAdvance(text) + 30) / 2, 500));
    EXPECT_EQ(box.styleSheet(), "background-color: rgba(0, 0, 0, 127);");
    EXPECT_FALSE(box.isVisible());
    EXPECT_TRUE(box.testAttribute(Qt::WA_TransparentForMouseEvents));
    expectClickThroughAndNeverFocused(&box);

    box.setAttributes(text, Qt::white, arial, Qt::black, 127, 1000, 620);
    EXPECT_EQ(box.pos(), QPoint(1000 - (metrics.horizontalAdvance(text) + 20) / 2, 620));
    EXPECT_FALSE(box.isVisible()); // new attributes never show or hide it
}

TEST_F(Notice, StaysWhollyOnTheVirtualScreen)
{
    TransparentTextWidget box(nullptr, text, Qt::white, arial, Qt::black, 127, 500, 500);
    box.setAttributes(text, Qt::white, arial, Qt::black, 127, 1950, 1070);
    EXPECT_EQ(box.geometry().right(), 1919);
    EXPECT_EQ(box.geometry().bottom(), 1079);
    box.setAttributes(text, Qt::white, arial, Qt::black, 127, 50, -40);
    EXPECT_EQ(box.pos(), QPoint(0, 0));

    // A screen left of the primary one: the virtual screen starts at a negative x.
    platform::recordingPointerScreens().setScreens(QRect(0, 0, 1920, 1080),
                                                   QRect(-1280, -200, 3200, 1280));
    box.setAttributes(text, Qt::white, arial, Qt::black, 127, -1300, -300);
    EXPECT_EQ(box.pos(), QPoint(-1280, -200));
    box.setAttributes(text, Qt::white, arial, Qt::black, 127, 2000, 1200);
    EXPECT_EQ(box.geometry().bottomRight(), QPoint(1919, 1079));
}

TEST_F(Notice, IsShownChangedAndHiddenByTheApplicationSignals)
{
    TransparentTextWidget box(nullptr, "Default Text", Qt::white, arial, Qt::black, 127, 500, 500);
    onWorkerThread([this] {
        emit app()->ttwSetAttributes(text, Qt::yellow, arial, Qt::blue, 200, 800, 620);
        emit app()->ttwShowText();
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return box.isVisible(); }, patientMs(5000)));
    EXPECT_EQ(box.text(), text);
    EXPECT_EQ(box.alpha(), 200);
    EXPECT_EQ(box.styleSheet(), "background-color: rgba(0, 0, 255, 200);");
    onWorkerThread([] { emit app()->ttwHideText(); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return !box.isVisible(); }, patientMs(5000)));
}

namespace {
QList<MessageWidget *> toasts()
{
    QList<MessageWidget *> found;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *toast = dynamic_cast<MessageWidget *>(w))
            found.append(toast);
    }
    return found;
}
} // namespace

TEST_F(Notice, AToastShowsInTheMiddleOfThePrimaryScreenAndRemovesItself)
{
    showTimedMessage(0, "never");
    showTimedMessage(-5, "never");
    EXPECT_TRUE(toasts().isEmpty());

    platform::recordingPointerScreens().setScreens(QRect(1920, 0, 1920, 1080),
                                                   QRect(0, 0, 3840, 1080));
    showTimedMessage(300, "Clicking Paused");
    ASSERT_EQ(toasts().size(), 1);
    QPointer<MessageWidget> toast = toasts().first();
    EXPECT_TRUE(toast->isVisible());
    EXPECT_EQ(toast->windowTitle(), "Information");
    EXPECT_EQ(toast->label()->text(), "Clicking Paused");
    EXPECT_EQ(toast->label()->font().pointSize(), 32);
    EXPECT_EQ(toast->pos(),
              QPoint(1920 + (1920 - toast->width()) / 2, (1080 - toast->height()) / 2));
    expectClickThroughAndNeverFocused(toast);
    EXPECT_TRUE(QTest::qWaitFor([&] { return toast.isNull(); }, patientMs(5000)));
}
