#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>

class QWidget;

// Answers modal dialogs in tests: every few milliseconds it looks at the active modal
// widget and hands it to the scripted answer (or closes it). It records each dialog's
// window title and text so a test can check what the user would have been asked.
class DialogAnswerer : public QObject
{
    Q_OBJECT
public:
    using Answer = std::function<void(QWidget *modal)>;

    explicit DialogAnswerer(QObject *parent = nullptr);

    // Answers queued in order; once they run out, dialogs are rejected (closed).
    void enqueue(Answer answer);
    // The default answer for a message box: press the button with this text.
    static Answer pressButton(const QString &text);
    // Accepts a file dialog with the given file name; an empty name cancels it.
    static Answer chooseFile(const QString &fileName);

    QStringList titles() const { return seenTitles; }
    QStringList texts() const { return seenTexts; }

signals:
    // Each dialog as it is answered.
    void seen(const QString &title, const QString &text);

private:
    void poll();

    QTimer timer;
    QList<Answer> answers;
    QStringList seenTitles;
    QStringList seenTexts;
    QWidget *lastAnswered = nullptr;
};
