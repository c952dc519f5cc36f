#pragma once

#include <QDialog>

// A large half-transparent notice over every other program that never takes the focus or
// the mouse. The four warnings of the program derive from it; each builds its form and is
// placed once, at construction.
class OnScreenWarning : public QDialog
{
    Q_OBJECT
public:
    explicit OnScreenWarning(QWidget *parent);

signals:
    // After each Show (true) and Hide (false), repeated ones included.
    void shownChanged(bool shown);

public slots:
    void Show();
    void Hide();

protected:
    // Fits the dialog to its form and centres it horizontally on the primary screen, its
    // centre 1/heightDivisor of the way down.
    void placeOnPrimaryScreen(int heightDivisor);
};
