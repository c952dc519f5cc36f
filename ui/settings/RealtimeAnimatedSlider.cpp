#include "ui/settings/RealtimeAnimatedSlider.h"

#include <QEasingCurve>
#include <QPainter>
#include <QPropertyAnimation>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>
#include <cmath>

namespace {
constexpr int kAnimationMs = 150;
const QColor kGray(80, 80, 80);
const QColor kGreen(0, 180, 0);
const QColor kRed(255, 0, 0);
} // namespace

RealtimeAnimatedSlider::RealtimeAnimatedSlider(QWidget *parent)
    : QSlider(Qt::Horizontal, parent)
    // A child of the slider, so it never outlives it.
    , m_animation(new QPropertyAnimation(this, "animatedRealtimeValue", this))
{
    m_animation->setDuration(kAnimationMs);
    m_animation->setEasingCurve(QEasingCurve::InOutQuad);
}

RealtimeAnimatedSlider::~RealtimeAnimatedSlider() = default;

void RealtimeAnimatedSlider::setRealtimeValue(int value, bool smooth, bool colorGray,
                                              bool flipRedGreen)
{
    m_colorGray = colorGray;
    m_flipRedGreen = flipRedGreen;

    const int v = std::max(minimum(), std::min(value, maximum()));
    if (v == m_realtimeValue)
        return;

    if (smooth) {
        // Restart from what is drawn now, so frequent updates glide instead of jumping.
        m_animation->stop();
        m_animation->setStartValue(m_animatedRealtimeValue);
        m_animation->setEndValue(v);
        m_animation->start(QAbstractAnimation::KeepWhenStopped);
    } else {
        m_animation->stop();
        setAnimatedRealtimeValue(v);
    }
    m_realtimeValue = v;
}

void RealtimeAnimatedSlider::setAnimatedRealtimeValue(double value)
{
    m_animatedRealtimeValue = value;
    update();
}

QRect RealtimeAnimatedSlider::grooveRect() const
{
    QStyleOptionSlider opt;
    initStyleOption(&opt);
    return style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderGroove, this);
}

QRect RealtimeAnimatedSlider::liveBarRect() const
{
    const int span = maximum() - minimum();
    if (span <= 0)
        return {}; // a range of one value has no room for a bar

    const QRect groove = grooveRect();
    const int left = groove.left();
    const int width = groove.right() - left + 1;
    // Clamped, so a range narrowed after the last live value cannot push the bar off the groove.
    const double fraction =
        std::clamp((m_animatedRealtimeValue - minimum()) / static_cast<double>(span), 0.0, 1.0);
    const int x = left + static_cast<int>(std::trunc(width * fraction));
    if (x - left <= 0)
        return {};

    const int h = groove.bottom() - groove.top() + 1;
    const int top = groove.top() + h / 4;
    return QRect(QPoint(left, top), QPoint(x - 1, top + h / 2 - 1));
}

QColor RealtimeAnimatedSlider::liveBarColor() const
{
    if (m_colorGray)
        return kGray;
    const bool reached = m_animatedRealtimeValue >= value();
    return reached != m_flipRedGreen ? kGreen : kRed;
}

void RealtimeAnimatedSlider::paintEvent(QPaintEvent *event)
{
    QSlider::paintEvent(event);

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRect bar = liveBarRect();
    if (!bar.isEmpty())
        painter.fillRect(bar, liveBarColor());

    // The bar runs under the handle; draw the handle again so it stays on top.
    QStyleOptionSlider opt;
    initStyleOption(&opt);
    QStyleOptionSlider handle(opt);
    handle.subControls = QStyle::SC_SliderHandle;
    style()->drawComplexControl(QStyle::CC_Slider, &handle, &painter, this);
}
