#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

// The notice box: a half-transparent rounded box with one line of bold centred text, near the
// pointer and wholly on the virtual screen, taking neither the mouse nor the focus. Driven by
// the application object's signals ttwSetAttributes, ttwShowText and ttwHideText, which it
// connects itself.
class TransparentTextWidget : public QWidget
{
    Q_OBJECT
public:
    TransparentTextWidget(QWidget *parent, const QString &text, QColor textColor, const QFont &font,
                          QColor backgroundColor, int alpha, int posX, int posY);

    QString text() const { return shownText; }
    QFont textFont() const { return boldFont; }
    int alpha() const { return opacity; }
    QPoint position() const { return QPoint(positionX, positionY); }

public slots:
    void showText();
    void hideText();
    void setAttributes(QString text, QColor textColor, QFont font, QColor backgroundColor,
                       int alpha, int posX, int posY);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void clampToScreen();
    void applyBackgroundStyle();
    static QFont bold(const QFont &font);

    QString shownText;
    QColor textColor;
    QFont boldFont;
    QColor backgroundColor;
    int opacity;
    int positionX = 0;
    int positionY = 0;
};
