#include "core/MessageBoxes.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QThread>

void showMessageBox(QMessageBox::Icon icon, const QString &title, const QString &text,
                    const QString &buttonText, QWidget *parent)
{
    QMessageBox box(icon, title, text, QMessageBox::NoButton, parent);
    QPushButton *button = box.addButton(buttonText, QMessageBox::AcceptRole);
    box.setDefaultButton(button);
    box.setEscapeButton(button);
    box.exec();
}

void showMessageBoxOnGuiThread(QMessageBox::Icon icon, const QString &title, const QString &text,
                               const QString &buttonText)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return;
    if (QThread::currentThread() == app->thread()) {
        showMessageBox(icon, title, text, buttonText);
        return;
    }
    QMetaObject::invokeMethod(
        app, [=] { showMessageBox(icon, title, text, buttonText); }, Qt::QueuedConnection);
}
