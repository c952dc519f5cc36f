#include "feedback/TransparentTextWidget.h"

#include "feedback/OverlayShape.h"
#include "platform/Platform.h"
#include "platform/PointerScreens.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPainter>

namespace {
constexpr int Padding = 30; // added to the text's width and height
constexpr int BoldWeight = 75;
} // namespace

TransparentTextWidget::TransparentTextWidget(QWidget *parent, const QString &text, QColor textColor,
                                             const QFont &font, QColor backgroundColor, int alpha,
                                             int posX, int posY)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus)
    , shownText(text)
    , textColor(textColor)
    , boldFont(bold(font))
    , backgroundColor(backgroundColor)
    , opacity(alpha)
    , positionY(posY)
{
    setFont(boldFont);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    // Its half-transparent box is part of what it draws: shown opaque without a compositor.
    new OverlayShape(this, 1);
    const QFontMetrics metrics(boldFont);
    const int w = metrics.horizontalAdvance(shownText);
    positionX = posX - (w + Padding) / 2;
    setFixedSize(w + Padding, metrics.height() + Padding);
    clampToScreen();
    applyBackgroundStyle();
    // By signature: this window needs nothing of the application object but its signals.
    if (QCoreApplication *app = QCoreApplication::instance()) {
        connect(app, SIGNAL(ttwShowText()), this, SLOT(showText()));
        connect(app, SIGNAL(ttwHideText()), this, SLOT(hideText()));
        connect(app, SIGNAL(ttwSetAttributes(QString, QColor, QFont, QColor, int, int, int)), this,
                SLOT(setAttributes(QString, QColor, QFont, QColor, int, int, int)));
    }
}

QFont TransparentTextWidget::bold(const QFont &font)
{
    QFont result = font;
    result.setWeight(BoldWeight);
    return result;
}

void TransparentTextWidget::showText()
{
    show();
}

void TransparentTextWidget::hideText()
{
    hide();
}

void TransparentTextWidget::setAttributes(QString text, QColor color, QFont font, QColor background,
                                          int alpha, int posX, int posY)
{
    boldFont = bold(font);
    setFont(boldFont);
    shownText = text;
    textColor = color;
    backgroundColor = background;
    const QFontMetrics metrics(boldFont);
    const int w = metrics.horizontalAdvance(shownText);
    setFixedSize(w + Padding, metrics.height() + Padding);
    opacity = alpha;
    positionX = posX - (w + 20) / 2;
    positionY = posY;
    clampToScreen();
    applyBackgroundStyle();
    update();
}

void TransparentTextWidget::clampToScreen()
{
    const QSize text = QFontMetrics(font()).size(Qt::TextSingleLine, shownText);
    setFixedSize(text.width() + Padding, text.height() + Padding);
    // The whole box stays on the virtual screen.
    const QRect screen = platform::pointerScreens().logicalVirtualScreen();
    if (!screen.isEmpty()) {
        positionX = qMax(screen.left(), qMin(positionX, screen.left() + screen.width() - width()));
        positionY = qMax(screen.top(), qMin(positionY, screen.top() + screen.height() - height()));
    }
    move(positionX, positionY);
}

void TransparentTextWidget::applyBackgroundStyle()
{
    setStyleSheet(QStringLiteral("background-color: rgba(%1, %2, %3, %4);")
                      .arg(backgroundColor.red())
                      .arg(backgroundColor.green())
                      .arg(backgroundColor.blue())
                      .arg(opacity));
}

void TransparentTextWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor box = backgroundColor;
    box.setAlpha(qBound(0, opacity, 255));
    painter.setBrush(QBrush(box, Qt::SolidPattern));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(rect(), 10, 10, Qt::AbsoluteSize);
    painter.setPen(textColor);
    painter.setFont(boldFont);
    painter.drawText(rect(), Qt::AlignHCenter | Qt::AlignVCenter, shownText);
}
