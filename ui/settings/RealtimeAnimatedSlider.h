#pragma once

#include <QColor>
#include <QRect>
#include <QSlider>

class QPropertyAnimation;

// A horizontal slider that also paints a live measurement as a coloured bar along its groove,
// so that the user sees, on the very slider that sets a threshold or a time, how far the live
// value reaches right now. The slider's own value stays the setting; the bar is display only.
class RealtimeAnimatedSlider : public QSlider
{
    Q_OBJECT
    Q_PROPERTY(
        double animatedRealtimeValue READ animatedRealtimeValue WRITE setAnimatedRealtimeValue)

public:
    explicit RealtimeAnimatedSlider(QWidget *parent = nullptr);
    ~RealtimeAnimatedSlider() override;

    // Shows a new live value, clamped to the slider's range. A repeated value is dropped before
    // any work (the tracker sends one per frame); the flags are kept for the next repaint.
    void setRealtimeValue(int value, bool smooth, bool colorGray, bool flipRedGreen);

    double animatedRealtimeValue() const { return m_animatedRealtimeValue; }
    void setAnimatedRealtimeValue(double value);

    int realtimeValue() const { return m_realtimeValue; }
    bool colorGray() const { return m_colorGray; }
    bool flipRedGreen() const { return m_flipRedGreen; }

    // The bar as painted now: an empty rectangle when there is nothing to draw.
    QRect liveBarRect() const;
    QColor liveBarColor() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect grooveRect() const;

    int m_realtimeValue = 0;
    bool m_colorGray = false;
    bool m_flipRedGreen = false;
    double m_animatedRealtimeValue = 0.0;
    QPropertyAnimation *m_animation = nullptr;
};
