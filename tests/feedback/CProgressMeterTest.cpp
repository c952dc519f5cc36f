// The ring's geometry, steps and closing with the recording overlay windows and pointer.

#include "feedback/CProgressMeter.h"
#include "feedback/COnScreenText.h"
#include "platform/Platform.h"
#include "platform/recording/RecordingPointerScreens.h"
#include "tests/feedback/OverlayRecords.h"

#include <gtest/gtest.h>
#include <thread>

using Record = platform::RecordingOverlayWindows::Record;
using Shape = platform::OverlayWindow::Shape;

namespace {

struct Ring : ::testing::Test
{
    void SetUp() override
    {
        platform::installRecording();
        platform::recordingPointerScreens().setPointer(QPoint(700, 400));
    }
    // The ring is the shown window without text; the label the one with.
    static Record shown(bool withText)
    {
        for (const Record &r : shownWindows()) {
            if (r.scene.text.text.isEmpty() != withText)
                return r;
        }
        return Record();
    }
    static QVector<double> sweeps(const Record &r)
    {
        QVector<double> result;
        for (const auto &u : r.updates) {
            if (result.isEmpty() || result.last() != u.scene.arc.sweepDegrees)
                result.append(u.scene.arc.sweepDegrees);
        }
        return result;
    }
    CProgressMeter meter;
};

} // namespace

TEST_F(Ring, TheDefaultRingSurroundsThePointerWithItsLabelBelow)
{
    meter.Start("Smile", false);
    ASSERT_TRUE(waitUntil([] { return shown(false).id && shown(true).id; }));
    const Record ring = shown(false);
    EXPECT_EQ(ring.scene.geometry, QRect(620, 320, 160, 160));
    EXPECT_EQ(ring.scene.shape, Shape::Ring);
    EXPECT_EQ(ring.scene.inset, 60); // the ring runs from radius 20 to radius 80
    EXPECT_DOUBLE_EQ(ring.opacity, 200 / 255.0);
    EXPECT_EQ(ring.scene.arc.square, QRect(29, 29, 100, 100));
    EXPECT_EQ(ring.scene.arc.penWidth, 30);
    EXPECT_EQ(ring.scene.arc.color, QColor(Qt::blue));
    EXPECT_EQ(ring.scene.arc.startDegrees, -90.0);
    // "Smile" is 50 by 26: a 90 by 36 label centred on x, its top at y + 50 + 130 / 2.
    EXPECT_EQ(shown(true).scene.geometry, QRect(655, 515, 90, 36));
    EXPECT_EQ(meter.centre(), QPoint(700, 400));
}

TEST_F(Ring, AStepIsTheDurationOverNinetyRoundedUp)
{
    EXPECT_EQ(CProgressMeter::periodFor(1000), 12);
    EXPECT_EQ(CProgressMeter::periodFor(50), 1);
    EXPECT_EQ(CProgressMeter::periodFor(20000), 223);
    EXPECT_EQ(CProgressMeter::periodFor(1080), 12);
    EXPECT_EQ(CProgressMeter::periodFor(1081), 13);
}

TEST_F(Ring, AutoCloseDrawsNinetyStepsAPeriodApartThenClosesRingAndLabel)
{
    meter.SetDuration(450); // 5 ms a step
    meter.Start("Hold", true);
    ASSERT_TRUE(waitUntil([] {
        const auto records = overlays().records();
        return records.size() == 2 && records[0].closed && records[1].closed;
    }));
    Record ring;
    for (const Record &r : overlays().records()) {
        if (r.scene.text.text.isEmpty())
            ring = r;
    }
    QVector<double> expected;
    for (int degrees = 4; degrees <= 360; degrees += 4)
        expected.append(degrees);
    QVector<double> drawn = sweeps(ring);
    drawn.removeAll(0.0); // the first drawing, before the first step
    EXPECT_EQ(drawn, expected);
    // The full ring comes 89 periods after the first step at the earliest.
    qint64 first = 0, last = 0;
    for (const auto &u : ring.updates) {
        if (u.scene.arc.sweepDegrees == 4 && !first)
            first = u.timeMs;
        if (u.scene.arc.sweepDegrees == 360)
            last = u.timeMs;
    }
    EXPECT_GE(last - first, 89 * 5 - 1);
    EXPECT_FALSE(meter.isRunning());
    EXPECT_FALSE(meter.label().isRunning());
}

TEST_F(Ring, WithoutAutoCloseAFullRingStartsOverUntilStopped)
{
    meter.SetDuration(50);
    meter.Start(QString(), false); // no label
    ASSERT_TRUE(waitUntil([] {
        const QVector<double> s = sweeps(shown(false));
        const int full = s.indexOf(360);
        return full >= 0 && s.value(full + 1) == 4;
    }));
    EXPECT_EQ(overlays().records().size(), 1);
    meter.Stop();
    EXPECT_TRUE(overlays().openWindows().isEmpty());
}

TEST_F(Ring, SettersIgnoreUnchangedAndOutOfRangeValues)
{
    meter.SetDuration(49);
    meter.SetDuration(20001);
    meter.SetDiameter(0);
    meter.SetDiameter(2001);
    meter.SetThickness(0);
    meter.SetThickness(101);
    EXPECT_EQ(meter.duration(), 1000);
    EXPECT_EQ(meter.diameter(), 100);
    EXPECT_EQ(meter.thickness(), 30);
    meter.SetDuration(20000);
    meter.SetDiameter(2000);
    meter.SetThickness(1);
    EXPECT_EQ(meter.duration(), 20000);
    EXPECT_EQ(meter.diameter(), 2000);
    EXPECT_EQ(meter.thickness(), 1);
}

TEST_F(Ring, ANewSizeWhileShownMovesRingAndLabel)
{
    meter.Start("Size", false);
    ASSERT_TRUE(waitUntil([] { return shown(false).id && shown(true).id; }));
    meter.SetDiameter(200); // side 200 + 30 + 30
    meter.SetThickness(10); // side 200 + 10 + 30
    EXPECT_TRUE(waitUntil([] { return shown(false).scene.geometry == QRect(580, 280, 240, 240); }));
    EXPECT_EQ(shown(false).scene.inset, 40);
    EXPECT_TRUE(waitUntil([] { return shown(true).scene.geometry.top() == 400 + 50 + 105; }));
    const QRect label = shown(true).scene.geometry;
    EXPECT_EQ(label.x() + label.width() / 2, 700);
}

TEST_F(Ring, ColoursAreColorRefs)
{
    meter.SetColor(255);
    meter.Start(QString(), false);
    EXPECT_TRUE(waitUntil([] { return shown(false).scene.arc.color == QColor(Qt::red); }));
    meter.SetColor(0x00FF00);
    EXPECT_TRUE(waitUntil([] { return shown(false).scene.arc.color == QColor(Qt::green); }));
}

TEST_F(Ring, AStartWhileShownKeepsTheFirstText)
{
    meter.Start("first", false);
    meter.Start("second", false);
    ASSERT_TRUE(waitUntil([] { return shown(true).scene.text.text == "first"; }));
    EXPECT_EQ(overlays().records().size(), 2);
    meter.Stop();
    meter.Start("second", false);
    EXPECT_TRUE(waitUntil([] { return shown(true).scene.text.text == "second"; }));
}

TEST_F(Ring, AutoCloseRacingAStopFreesNothingTwice)
{
    meter.SetDuration(50);
    for (int i = 0; i < 40; ++i) {
        meter.Start("race", true);
        std::thread stopper([&] { meter.Stop(); });
        if (i % 2)
            meter.Stop();
        stopper.join();
    }
    meter.Stop();
    EXPECT_TRUE(waitUntil([] { return overlays().openWindows().isEmpty(); }));
    EXPECT_FALSE(meter.isRunning());
}

TEST_F(Ring, StopWhenNeverStartedOnlyStopsTheLabel)
{
    meter.label().Start("alone", 5, 5);
    ASSERT_TRUE(waitUntil([] { return shown(true).id != 0; }));
    meter.Stop();
    meter.Stop();
    EXPECT_TRUE(overlays().openWindows().isEmpty());
}
