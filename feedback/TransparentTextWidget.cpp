#include "feedback/TransparentTextWidget.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPainter>

TransparentTextWidget::TransparentTextWidget(QWidget *parent, const QString &text, QColor textColor,
                                             const QFont &font, QColor backgroundColor, int alpha,
                                             int x, int y)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setAttributes(text, textColor, font, backgroundColor, alpha, x, y);
    if (QCoreApplication *app = QCoreApplication::instance()) {
        connect(app, SIGNAL(ttwSetAttributes(QString, QColor, QFont, QColor, int, int, int)), this,
                SLOT(setAttributes(QString, QColor, QFont, QColor, int, int, int)));
        connect(app, SIGNAL(ttwShowText()), this, SLOT(showText()));
        connect(app, SIGNAL(ttwHideText()), this, SLOT(hideText()));
    }
}

void TransparentTextWidget::setAttributes(QString text, QColor color, QFont font, QColor background,
                                          int a, int x, int y)
{
    shownText = text;
    textColor = color;
    textFont = font;
    textFont.setBold(true);
    backgroundColor = background;
    alpha = qBound(0, a, 255);
    const QFontMetrics metrics(textFont);
    resize(metrics.horizontalAdvance(shownText) + 30, metrics.height() + 20);
    move(x - width() / 2, y);
    update();
}

void TransparentTextWidget::showText()
{
    show();
}

void TransparentTextWidget::hideText()
{
    hide();
}

void TransparentTextWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor box = backgroundColor;
    box.setAlpha(alpha);
    painter.setPen(Qt::NoPen);
    painter.setBrush(box);
    painter.drawRoundedRect(rect(), 10, 10);
    painter.setPen(textColor);
    painter.setFont(textFont);
    painter.drawText(rect(), Qt::AlignCenter, shownText);
}
