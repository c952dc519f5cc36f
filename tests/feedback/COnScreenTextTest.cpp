// The label's geometry, text and colour with the recording overlay windows (10 pixels a
// character, 26 a line), and its start and stop from several threads.

#include "feedback/COnScreenText.h"
#include "platform/Platform.h"
#include "platform/recording/CallLog.h"
#include "tests/feedback/OverlayRecords.h"

#include <gtest/gtest.h>
#include <memory>
#include <thread>

using Record = platform::RecordingOverlayWindows::Record;
using Shape = platform::OverlayWindow::Shape;

namespace {

struct Label : ::testing::Test
{
    void SetUp() override { platform::installRecording(); }
    // The label's only window once it is drawn with the text.
    Record shownWith(const QString &text)
    {
        Record found;
        EXPECT_TRUE(waitUntil([&] {
            const auto shown = shownWindows();
            if (shown.size() != 1 || shown[0].scene.text.text != text)
                return false;
            found = shown[0];
            return true;
        })) << text.toStdString();
        return found;
    }
    QRect rectOnceItIs(COnScreenText &label, const QRect &expected)
    {
        waitUntil([&] { return label.windowRect() == expected; });
        return label.windowRect();
    }
    static QString chars(int n) { return QString(n, QLatin1Char('x')); }
};

} // namespace

TEST_F(Label, StartedBelowARingItIsFittedToItsTextAndCentredUnderTheRing)
{
    COnScreenText label;
    label.StartBelow(chars(20), 500, 300, 50, 130); // measures 200 by 26
    const Record r = shownWith(chars(20));
    EXPECT_EQ(r.scene.geometry, QRect(380, 415, 240, 36));
    EXPECT_EQ(r.scene.shape, Shape::RoundedRectangle);
    EXPECT_EQ(r.scene.corner, 10);
    EXPECT_DOUBLE_EQ(r.opacity, 220 / 255.0);
    EXPECT_EQ(r.scene.background, QColor(127, 127, 127));
    EXPECT_EQ(r.scene.text.origin, QPoint(20, 5));
    EXPECT_EQ(r.scene.text.font.family, "Tahoma");
    EXPECT_EQ(r.scene.text.font.pointSize, 16);
    EXPECT_EQ(r.scene.text.font.weight, 600);
    EXPECT_EQ(r.scene.text.color, QColor(Qt::white));
    EXPECT_TRUE(label.isRunning());
}

TEST_F(Label, CornersGrowWithTheWindow)
{
    EXPECT_EQ(COnScreenText::cornerFor(240, 36), 10);
    EXPECT_EQ(COnScreenText::cornerFor(140, 36), 8);
    EXPECT_EQ(COnScreenText::cornerFor(300, 80), 17);
    EXPECT_EQ(COnScreenText::cornerFor(0, 36), 0);
}

TEST_F(Label, NothingStartsWithoutTextOrWithAnImpossibleRing)
{
    COnScreenText label;
    label.Start(QString(), 10, 10);
    label.StartBelow("text", 10, 10, -1, 100);
    label.StartBelow("text", 10, 10, 0, 0);
    EXPECT_TRUE(overlays().records().isEmpty());
    label.Stop(); // never started: nothing
    EXPECT_FALSE(label.isRunning());
}

TEST_F(Label, ASecondStartBeforeAStopChangesNothing)
{
    COnScreenText label;
    label.Start("first", 100, 50);
    label.Start("second", 300, 300); // at once, before the window exists
    shownWith("first");
    label.Start("third", 300, 300); // and once it is shown
    EXPECT_EQ(overlays().records().size(), 1);
    EXPECT_EQ(shownWith("first").scene.geometry.topLeft(), QPoint(100, 50));
}

TEST_F(Label, LongTextsAreCutToTheirFirstHundredCharacters)
{
    COnScreenText label(chars(150), 0, 0);
    const Record r = shownWith(chars(100));
    EXPECT_EQ(r.scene.geometry.width(), 1040);
    label.SetText(chars(120));
    EXPECT_EQ(rectOnceItIs(label, QRect(0, 0, 1040, 36)).width(), 1040);
}

TEST_F(Label, NewTextKeepsTheHorizontalCentreAndTheTop)
{
    COnScreenText label("0123456789", 100, 50); // 140 wide: centre 170
    shownWith("0123456789");
    label.SetText("abc");
    EXPECT_EQ(rectOnceItIs(label, QRect(135, 50, 70, 36)), QRect(135, 50, 70, 36));
    EXPECT_EQ(shownWith("abc").scene.corner, COnScreenText::cornerFor(70, 36));
    label.SetText(QString()); // ignored
    EXPECT_EQ(shownWith("abc").scene.geometry, QRect(135, 50, 70, 36));
}

TEST_F(Label, ALabelPlacedUnderARingStaysThereWhenItsTextChanges)
{
    COnScreenText label;
    label.StartBelow(chars(20), 500, 300, 50, 130);
    ASSERT_EQ(rectOnceItIs(label, QRect(380, 415, 240, 36)), QRect(380, 415, 240, 36));
    label.SetText(chars(10));
    EXPECT_EQ(rectOnceItIs(label, QRect(430, 415, 140, 36)), QRect(430, 415, 140, 36));
    label.SetPosition(700, 300, 2, 2);
    EXPECT_EQ(rectOnceItIs(label, QRect(630, 303, 140, 36)), QRect(630, 303, 140, 36));
    label.SetPosition(10, 20);
    EXPECT_EQ(rectOnceItIs(label, QRect(10, 20, 140, 36)), QRect(10, 20, 140, 36));
}

TEST_F(Label, SizesBelowEightPointsAreIgnoredAndAnIdleSizeWaitsForTheNextStart)
{
    platform::recordingOverlayWindows().setTextMetrics(10, 26);
    COnScreenText label;
    label.SetSize(7);
    EXPECT_EQ(label.pointSize(), 16);
    label.SetSize(40); // idle: kept
    label.Start("size", 10, 10);
    EXPECT_EQ(shownWith("size").scene.text.font.pointSize, 40);
    label.SetSize(8);
    EXPECT_TRUE(waitUntil([&] { return shownWith("size").scene.text.font.pointSize == 8; }));
}

TEST_F(Label, TheTextColourIsAColorRefWithRedInTheLowestByte)
{
    COnScreenText label("colour", 10, 10);
    shownWith("colour");
    label.SetTextColor(0xFF3D00);
    EXPECT_TRUE(waitUntil(
        [&] { return shownWith("colour").scene.text.color == QColor(0x00, 0x3D, 0xFF); }));
    EXPECT_EQ(COnScreenText::fromColorRef(255), QColor(Qt::red));
}

TEST_F(Label, AWindowTheDesktopRefusesLeavesTheLabelIdleAndStartableAgain)
{
    overlays().setFailing(true);
    COnScreenText label;
    label.Start("refused", 10, 10);
    ASSERT_TRUE(waitUntil([&] { return overlays().records().value(0).closed; }));
    EXPECT_FALSE(label.isRunning());
    overlays().setFailing(false);
    label.Start("accepted", 10, 10);
    shownWith("accepted");
    EXPECT_TRUE(label.isRunning());
}

TEST_F(Label, StopIsSafeTwiceAndFromTwoThreadsAtOnce)
{
    COnScreenText label("stop me", 10, 10);
    shownWith("stop me");
    std::thread other([&] { label.Stop(); });
    label.Stop();
    other.join();
    label.Stop();
    EXPECT_FALSE(label.isRunning());
    EXPECT_TRUE(overlays().openWindows().isEmpty());
    EXPECT_TRUE(label.windowRect().isNull());
}

TEST_F(Label, StopDoesNotWaitForADesktopThatDoesNotAnswer)
{
    overlays().setHoldOpen(true);
    auto label = std::make_unique<COnScreenText>("stuck", 10, 10);
    ASSERT_TRUE(waitUntil([] { return platform::recordingLog().count("overlay", "open") == 1; }));
    const auto before = std::chrono::steady_clock::now();
    label->Stop();
    label.reset(); // the thread keeps what it uses
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
    // When the desktop answers, the abandoned thread ends by itself and shows nothing.
    overlays().setHoldOpen(false);
    EXPECT_TRUE(waitUntil([] { return overlays().records().value(0).closed; }));
    EXPECT_EQ(platform::recordingLog().count("overlay", "show"), 0);
}

TEST_F(Label, StartsAndStopsFromTwoThreadsLeaveNoWindowBehind)
{
    COnScreenText label;
    auto churn = [&](int seed) {
        for (int i = 0; i < 150; ++i) {
            label.Start(QString::number(seed * 1000 + i), i, i);
            if (i % 3 == 0)
                label.SetText("changed");
            label.Stop();
        }
    };
    std::thread a(churn, 1), b(churn, 2);
    a.join();
    b.join();
    label.Stop();
    for (const Record &r : overlays().records())
        EXPECT_TRUE(r.closed) << r.id;
    EXPECT_TRUE(overlays().openWindows().isEmpty());
}
