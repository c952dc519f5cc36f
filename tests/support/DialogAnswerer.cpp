#include "tests/support/DialogAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>

DialogAnswerer::DialogAnswerer(QObject *parent)
    : QObject(parent)
{
    connect(&timer, &QTimer::timeout, this, &DialogAnswerer::poll);
    timer.start(20);
}

void DialogAnswerer::enqueue(Answer answer)
{
    answers.append(std::move(answer));
}

DialogAnswerer::Answer DialogAnswerer::pressButton(const QString &text)
{
    return [text](QWidget *modal) {
        const auto buttons = modal->findChildren<QAbstractButton *>();
        for (QAbstractButton *b : buttons) {
            if (b->text().remove('&') == text) {
                b->click();
                return;
            }
        }
        modal->close();
    };
}

DialogAnswerer::Answer DialogAnswerer::chooseFile(const QString &fileName)
{
    return [fileName](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!dialog || fileName.isEmpty()) {
            modal->close();
            return;
        }
        dialog->selectFile(fileName);
        // The dialog may still be settling its initial selection: set the name field too.
        if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            edit->setText(fileName);
        // Accepted after this answer returns: the dialog may ask a question of its own (replace
        // an existing file?), which the next answer then takes.
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
    };
}

void DialogAnswerer::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || modal == lastAnswered)
        return;
    lastAnswered = modal;
    seenTitles << modal->windowTitle();
    if (auto *box = qobject_cast<QMessageBox *>(modal))
        seenTexts << box->text();
    else
        seenTexts << QString();
    emit seen(seenTitles.last(), seenTexts.last());
    QPointer<QWidget> guard(modal);
    if (!answers.isEmpty()) {
        Answer next = answers.takeFirst();
        next(modal);
    } else {
        modal->close();
    }
    // A dialog object may be reused for the next question; let it be answered again.
    if (guard && !guard->isVisible())
        lastAnswered = nullptr;
}
