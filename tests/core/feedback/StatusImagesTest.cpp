// The pointer-following status images, on the recording pointer and screens.

#include "feedback/NotificationWidget.h"
#include "feedback/StateNotifier.h"
#include "platform/Platform.h"
#include "platform/recording/RecordingPointerScreens.h"
#include "tests/feedback/QtOverlayChecks.h"
#include "tests/support/Patience.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct StatusImages : ::testing::Test
{
    void SetUp() override
    {
        platform::installRecording();
        // A second screen right of the primary one.
        platform::recordingPointerScreens().setScreens(QRect(0, 0, 1920, 1080),
                                                       QRect(0, 0, 3840, 1080));
    }
    static void pointerAt(int x, int y)
    {
        platform::recordingPointerScreens().setPointer(QPoint(x, y));
    }
    // Set up as the main window sets up the face notifier: image, size, delta, move.
    static void setUpFace(StateNotifier &notifier)
    {
        notifier.setImagePath("invisible.png");
        notifier.OnSN_SetSize(25, 25);
        notifier.OnSN_SetDelta(33, 33);
        notifier.setKeepOnScreen(true);
        notifier.moveToPointer();
    }
    StateNotifier notifier;
};

} // namespace

TEST_F(StatusImages, NothingButAnImageMakesTheWindow)
{
    notifier.OnSN_SetDelta(5, 5);
    notifier.OnSN_SetSize(10, 10);
    notifier.OnSN_UpdateMousePosition();
    notifier.OnSN_UpdateScrollParams(10, 1);
    EXPECT_EQ(notifier.widget(), nullptr);

    notifier.OnSN_SetImagePath("faceGreen.png");
    NotificationWidget *w = notifier.widget();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->size(), QSize(200, 200));
    EXPECT_EQ(w->delta(), QPoint(-100, -100));
    // Blanked, never hidden.
    notifier.OnSN_SetImagePath("invisible.png");
    EXPECT_EQ(notifier.widget(), w);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->imagePath(), "invisible.png");
}

TEST_F(StatusImages, TheWindowIsClickThroughUnfocusedAndUnmanaged)
{
    notifier.setImagePath("invisible.png");
    const NotificationWidget *w = notifier.widget();
    expectClickThroughAndNeverFocused(w);
    EXPECT_TRUE(w->windowFlags() & Qt::X11BypassWindowManagerHint);
    EXPECT_TRUE(w->testAttribute(Qt::WA_TranslucentBackground));
}

TEST_F(StatusImages, KeepOnScreenFlipsPastThePrimaryScreenAndPullsBackPastTheVirtualOne)
{
    pointerAt(1900, 500);
    setUpFace(notifier);
    EXPECT_EQ(notifier.widget()->pos(), QPoint(1855, 533));
    pointerAt(1000, 1070);
    notifier.moveToPointer();
    EXPECT_EQ(notifier.widget()->pos(), QPoint(1033, 1025));
    EXPECT_EQ(notifier.widget()->keepOnScreen(QPoint(3830, 500)), QPoint(3785, 533));
}

TEST_F(StatusImages, APrimaryScreenRightOfAnotherFlipsTheImageAtItsOwnRightEdge)
{
    platform::recordingPointerScreens().setScreens(QRect(1920, 0, 1920, 1080),
                                                   QRect(0, 0, 3840, 1080));
    setUpFace(notifier);
    const struct
    {
        QPoint pointer, placed;
    } cases[] = {
        {{1900, 500}, {1933, 533}}, // on the other screen, short of the primary one's edge
        {{2500, 500}, {2533, 533}},
        {{3830, 500}, {3785, 533}}, // past the primary screen's right edge: flipped
    };
    for (const auto &c : cases)
        EXPECT_EQ(notifier.widget()->keepOnScreen(c.pointer), c.placed) << c.pointer.x();
}

TEST_F(StatusImages, WithoutKeepOnScreenTheImageIsCentredOnThePointerEvenOffScreen)
{
    pointerAt(10, 10);
    notifier.setImagePath("invisible.png");
    notifier.OnSN_SetSize(200, 200);
    notifier.OnSN_SetDelta(-100, -100);
    notifier.setKeepOnScreen(false);
    notifier.moveToPointer();
    EXPECT_EQ(notifier.widget()->pos(), QPoint(-90, -90));
}

TEST_F(StatusImages, TheScrollImageGoesAboveOrBelowThePointerAndStaysOnTheScreen)
{
    pointerAt(500, 600);
    setUpFace(notifier);
    notifier.OnSN_UpdateScrollParams(10, 1);
    EXPECT_EQ(notifier.widget()->pos(), QPoint(488, 392));
    notifier.OnSN_UpdateScrollParams(10, -1);
    EXPECT_EQ(notifier.widget()->pos(), QPoint(488, 808));
    pointerAt(500, 100);
    notifier.OnSN_UpdateScrollParams(10, 1);
    EXPECT_EQ(notifier.widget()->pos(), QPoint(488, 25));
    pointerAt(5, 1000);
    notifier.OnSN_UpdateScrollParams(10, -1);
    EXPECT_EQ(notifier.widget()->pos(), QPoint(0, 1080 - 25));
}

// An image that draws something follows the pointer by itself; the invisible one stays (nothing
// of it is seen) and comes back at the pointer. Two shown images follow it together.
TEST_F(StatusImages, AShownImageFollowsThePointerByItselfAndTheInvisibleOneComesBackAtIt)
{
    QTemporaryDir dir;
    QImage red(4, 4, QImage::Format_ARGB32);
    red.fill(Qt::red);
    const QString path = dir.filePath("red.png");
    ASSERT_TRUE(red.save(path));

    StateNotifier motion;
    pointerAt(400, 400);
    setUpFace(notifier);
    motion.setImagePath(path);
    motion.OnSN_SetSize(200, 200);
    motion.OnSN_SetDelta(-100, -100);
    NotificationWidget *face = notifier.widget();
    EXPECT_FALSE(face->followsPointer());
    EXPECT_TRUE(motion.widget()->followsPointer());

    notifier.OnSN_SetImagePath(path);
    EXPECT_TRUE(face->followsPointer());
    pointerAt(600, 300);
    notifier.OnSN_UpdateMousePosition();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return face->pos() == QPoint(633, 333) && motion.widget()->pos() == QPoint(500, 200);
        },
        patientMs(5000)));

    notifier.OnSN_SetImagePath("invisible.png");
    EXPECT_FALSE(face->followsPointer());
    pointerAt(800, 700);
    EXPECT_TRUE(QTest::qWaitFor([&] { return motion.widget()->pos() == QPoint(700, 600); },
                                patientMs(5000)));
    EXPECT_EQ(face->pos(), QPoint(633, 333));
    notifier.OnSN_SetImagePath(path);
    EXPECT_EQ(face->pos(), QPoint(833, 733));
}

TEST_F(StatusImages, TheImageFillsTheWindowAndAMissingFileDrawsNothing)
{
    QTemporaryDir dir;
    QImage red(4, 4, QImage::Format_ARGB32);
    red.fill(Qt::red);
    const QString path = dir.filePath("red.png");
    ASSERT_TRUE(red.save(path));

    setUpFace(notifier);
    notifier.OnSN_SetImagePath(path);
    const QImage drawn = notifier.widget()->grab().toImage();
    EXPECT_EQ(drawn.size(), QSize(25, 25));
    EXPECT_EQ(QColor(drawn.pixel(12, 12)), QColor(Qt::red));
    EXPECT_EQ(QColor(drawn.pixel(0, 24)), QColor(Qt::red));

    notifier.OnSN_SetImagePath(dir.filePath("missing.png"));
    const QImage empty = notifier.widget()->grab().toImage();
    EXPECT_EQ(qAlpha(empty.pixel(12, 12)), 0);
}
