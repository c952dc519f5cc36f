#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

// A half-transparent rounded box with one line of bold text, shown near the pointer.
// Driven by the application object's notice signals.
class TransparentTextWidget : public QWidget
{
    Q_OBJECT
public:
    TransparentTextWidget(QWidget *parent, const QString &text, QColor textColor, const QFont &font,
                          QColor backgroundColor, int alpha, int x, int y);

    QString text() const { return shownText; }

public slots:
    void setAttributes(QString text, QColor textColor, QFont font, QColor backgroundColor,
                       int alpha, int x, int y);
    void showText();
    void hideText();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString shownText;
    QColor textColor;
    QFont textFont;
    QColor backgroundColor;
    int alpha;
};
