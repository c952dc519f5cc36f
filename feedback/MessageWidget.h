#pragma once

#include <QWidget>

class QLabel;

// The toast: a message in large type in the middle of the primary screen.
class MessageWidget : public QWidget
{
public:
    explicit MessageWidget(const QString &text, QWidget *parent = nullptr);

    QLabel *label() const { return textLabel; }

private:
    QLabel *textLabel;
};

// Shows a toast for `ms` milliseconds; it then deletes itself. Nothing when ms < 1. GUI
// thread. Several toasts may be shown at once.
void showTimedMessage(int ms, const QString &text);
