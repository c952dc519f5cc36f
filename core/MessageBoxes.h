#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// A modal message box with one button of the given text; waits until it is closed.
// Must run on the GUI thread.
void showMessageBox(QMessageBox::Icon icon, const QString &title, const QString &text,
                    const QString &buttonText = QStringLiteral("OK"), QWidget *parent = nullptr);

// The same from any thread: on the GUI thread it waits for the answer; from a worker it
// queues the box to the GUI thread and returns at once, so the worker never blocks on a
// question the user answers with the pointer it drives.
void showMessageBoxOnGuiThread(QMessageBox::Icon icon, const QString &title, const QString &text,
                               const QString &buttonText = QStringLiteral("OK"));
