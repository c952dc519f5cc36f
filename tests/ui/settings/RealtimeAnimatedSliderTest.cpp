#include "ui/settings/RealtimeAnimatedSlider.h"

#include <QCoreApplication>
#include <QImage>
#include <QMetaProperty>
#include <QPaintEvent>
#include <QPropertyAnimation>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QColor kGreen(0, 180, 0);
const QColor kRed(255, 0, 0);
const QColor kGray(80, 80, 80);

// Exposes the groove the style gives the slider, and counts the paints it receives.
class ProbeSlider : public RealtimeAnimatedSlider
{
public:
    using RealtimeAnimatedSlider::RealtimeAnimatedSlider;

    QRect groove()
    {
        QStyleOptionSlider opt;
        initStyleOption(&opt);
        return style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderGroove, this);
    }
    QRect handle()
    {
        QStyleOptionSlider opt;
        initStyleOption(&opt);
        return style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, this);
    }

    int paints = 0;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        ++paints;
        RealtimeAnimatedSlider::paintEvent(event);
    }
};

class RealtimeAnimatedSliderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        slider.setRange(0, 100);
        slider.setValue(50);
        slider.resize(400, 40);
    }

    void showAndSettle()
    {
        slider.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&slider));
        QCoreApplication::processEvents();
    }

    QPropertyAnimation *animation() { return slider.findChild<QPropertyAnimation *>(); }

    ProbeSlider slider;
};

TEST_F(RealtimeAnimatedSliderTest, IsAHorizontalSliderWithAnAnimatableLiveValue)
{
    RealtimeAnimatedSlider plain;
    EXPECT_EQ(plain.orientation(), Qt::Horizontal);
    EXPECT_EQ(plain.realtimeValue(), 0);
    EXPECT_EQ(plain.animatedRealtimeValue(), 0.0);

    const QMetaObject *meta = plain.metaObject();
    const int index = meta->indexOfProperty("animatedRealtimeValue");
    ASSERT_GE(index, 0);
    const QMetaProperty property = meta->property(index);
    EXPECT_EQ(property.type(), QVariant::Double);
    EXPECT_TRUE(property.isReadable());
    EXPECT_TRUE(property.isWritable());
    EXPECT_TRUE(plain.setProperty("animatedRealtimeValue", 12.5));
    EXPECT_EQ(plain.animatedRealtimeValue(), 12.5);

    QPropertyAnimation *anim = plain.findChild<QPropertyAnimation *>();
    ASSERT_NE(anim, nullptr);
    EXPECT_EQ(anim->targetObject(), &plain);
    EXPECT_EQ(anim->propertyName(), QByteArray("animatedRealtimeValue"));
    EXPECT_EQ(anim->duration(), 150);
    EXPECT_EQ(anim->easingCurve().type(), QEasingCurve::InOutQuad);
}

TEST_F(RealtimeAnimatedSliderTest, LiveValuesAreClampedToTheRange)
{
    struct Case
    {
        int min, max, live, shown;
    };
    const Case cases[] = {
        {10, 100, 150, 100}, {10, 100, 5, 10}, {10, 100, 55, 55}, {-25, 25, -40, -25}};
    for (const Case &c : cases) {
        RealtimeAnimatedSlider s;
        s.setRange(c.min, c.max);
        s.setRealtimeValue(c.live, false, false, false);
        EXPECT_EQ(s.realtimeValue(), c.shown) << c.live << " in " << c.min << ".." << c.max;
        EXPECT_EQ(s.animatedRealtimeValue(), c.shown);
    }
}

TEST_F(RealtimeAnimatedSliderTest, BarColourFollowsTheSettingAndTheFlags)
{
    struct Case
    {
        int live;
        bool gray, flip;
        QColor colour;
        const char *why;
    };
    // The slider's own value (the threshold) is 50.
    const Case cases[] = {
        {50, false, false, kGreen, "equal to the threshold counts as reached"},
        {80, false, false, kGreen, "above the threshold"},
        {49, false, false, kRed, "below the threshold"},
        {50, false, true, kRed, "flipped: reaching the threshold is red"},
        {20, false, true, kGreen, "flipped: staying below is green"},
        {80, true, false, kGray, "grey wins over reached"},
        {20, true, true, kGray, "grey wins over flipped"},
    };
    for (const Case &c : cases) {
        slider.setRealtimeValue(c.live, false, c.gray, c.flip);
        EXPECT_EQ(slider.liveBarColor(), c.colour) << c.why;
    }
}

TEST_F(RealtimeAnimatedSliderTest, BarCoversTheMiddleHalfOfTheGrooveUpToTheLiveValue)
{
    showAndSettle();
    const QRect g = slider.groove();
    const int h = g.bottom() - g.top() + 1;
    const int width = g.right() - g.left() + 1;

    ASSERT_GE(width, 100);
    for (int live : {1, 25, 99, 100}) {
        slider.setRealtimeValue(live, false, false, false);
        const QRect bar = slider.liveBarRect();
        EXPECT_EQ(bar.left(), g.left()) << live;
        EXPECT_EQ(bar.right(), g.left() + width * live / 100 - 1) << live;
        EXPECT_EQ(bar.top(), g.top() + h / 4) << live;
        EXPECT_EQ(bar.bottom(), g.top() + h / 4 + h / 2 - 1) << live;
    }
    EXPECT_EQ(slider.liveBarRect().right(), g.right()) << "the maximum fills the groove";

    slider.setRealtimeValue(0, false, false, false);
    EXPECT_TRUE(slider.liveBarRect().isEmpty()) << "a live value at the minimum draws nothing";
}

TEST_F(RealtimeAnimatedSliderTest, PaintsTheBarInItsColourUnderTheHandle)
{
    // Threshold at the far right, so the handle sits away from the bar's middle.
    slider.setValue(100);
    showAndSettle();
    slider.setRealtimeValue(50, false, false, false);
    const QRect bar = slider.liveBarRect();
    ASSERT_FALSE(bar.isEmpty());

    const QImage image = slider.grab().toImage();
    const int x = bar.left() + bar.width() / 2;
    EXPECT_EQ(image.pixelColor(x, bar.top()), kRed);
    EXPECT_EQ(image.pixelColor(x, bar.bottom()), kRed);
    EXPECT_NE(image.pixelColor(x, bar.top() - 1), kRed) << "the bar keeps to its rows";
    EXPECT_NE(image.pixelColor(x, bar.bottom() + 1), kRed) << "the bar keeps to its rows";
    EXPECT_NE(image.pixelColor(bar.right() + 2, bar.center().y()), kRed)
        << "nothing is drawn past the live value";

    // The handle is drawn again over a bar that reaches it.
    slider.setRealtimeValue(100, false, false, false);
    const QRect handle = slider.handle();
    const QImage full = slider.grab().toImage();
    EXPECT_NE(full.pixelColor(handle.center()), kGreen);
}

TEST_F(RealtimeAnimatedSliderTest, ARangeOfOneValueDrawsNoBar)
{
    slider.setRange(5, 5);
    showAndSettle();
    slider.setRealtimeValue(7, false, false, false);
    EXPECT_EQ(slider.realtimeValue(), 5);
    EXPECT_TRUE(slider.liveBarRect().isEmpty());
    EXPECT_FALSE(slider.grab().isNull()) << "painting survives an empty range";
}

TEST_F(RealtimeAnimatedSliderTest, ABarNeverLeavesTheGrooveWhenTheRangeShrinksUnderIt)
{
    showAndSettle();
    slider.setRealtimeValue(100, false, false, false);
    slider.setRange(0, 10);
    EXPECT_EQ(slider.liveBarRect().right(), slider.groove().right());
}

TEST_F(RealtimeAnimatedSliderTest, SmoothValuesGlideFromWhatIsDrawn)
{
    QPropertyAnimation *anim = animation();
    ASSERT_NE(anim, nullptr);

    slider.setRealtimeValue(80, true, false, false);
    EXPECT_EQ(anim->state(), QAbstractAnimation::Running);
    EXPECT_EQ(anim->startValue().toDouble(), 0.0);
    EXPECT_EQ(anim->endValue().toInt(), 80);
    EXPECT_EQ(slider.realtimeValue(), 80);

    anim->setCurrentTime(75); // half way; the in-out curve is at one half there too
    EXPECT_DOUBLE_EQ(slider.animatedRealtimeValue(), 40.0);

    // A new value restarts from the value on screen, not from the old target.
    slider.setRealtimeValue(20, true, false, false);
    EXPECT_EQ(anim->currentTime(), 0);
    EXPECT_DOUBLE_EQ(anim->startValue().toDouble(), 40.0);
    EXPECT_EQ(anim->endValue().toInt(), 20);

    anim->setCurrentTime(150);
    EXPECT_DOUBLE_EQ(slider.animatedRealtimeValue(), 20.0);
    EXPECT_EQ(anim->state(), QAbstractAnimation::Stopped);
    EXPECT_EQ(slider.findChild<QPropertyAnimation *>(), anim) << "kept for the next value";
}

TEST_F(RealtimeAnimatedSliderTest, ARepeatedValueNeitherRestartsTheAnimationNorRepaints)
{
    QPropertyAnimation *anim = animation();
    slider.setRealtimeValue(80, true, false, false);
    anim->setCurrentTime(100);

    slider.setRealtimeValue(80, true, true, true);
    EXPECT_EQ(anim->state(), QAbstractAnimation::Running);
    EXPECT_EQ(anim->currentTime(), 100);
    EXPECT_TRUE(slider.colorGray()) << "new flags are kept for the next repaint";
    EXPECT_TRUE(slider.flipRedGreen());

    anim->stop();
    showAndSettle();
    slider.paints = 0;
    slider.setRealtimeValue(80, false, false, true);
    QCoreApplication::processEvents();
    EXPECT_EQ(slider.paints, 0);

    slider.setRealtimeValue(30, false, false, true);
    QCoreApplication::processEvents();
    EXPECT_GE(slider.paints, 1);
}

TEST_F(RealtimeAnimatedSliderTest, AnImmediateValueIsNotOverwrittenByAnOlderGlide)
{
    QPropertyAnimation *anim = animation();
    slider.setRealtimeValue(80, true, false, false);
    anim->setCurrentTime(50);

    slider.setRealtimeValue(30, false, false, false);
    EXPECT_EQ(anim->state(), QAbstractAnimation::Stopped);
    EXPECT_EQ(slider.animatedRealtimeValue(), 30.0);
}

} // namespace
