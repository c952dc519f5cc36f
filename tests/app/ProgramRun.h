#pragma once

#include <QList>
#include <QPair>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

#include <functional>

class DesktopView;

// The program itself (build/bin/TovraMouse) in a home of its own with the file camera,
// started and ended as a user would: Enter on the camera choice, a click on "ready", and at
// the end Alt+F4 on the main window and Enter. Needs the program's application object in
// this process (its store writes the settings file).
//
// Each step waits for what it needs (the window shown, the focus on it, the program ended),
// as long as a busy machine may take; a step that fails says what the desktop showed, and a
// test that failed gets the program's last output lines.
class ProgramRun
{
public:
    // The settings of a user who has used the program before: the reset defaults, no first
    // run, no dwell click landing while the test uses the mouse (a dwell needs ten seconds
    // without a pixel of motion); then `settings` over them.
    explicit ProgramRun(const QList<QPair<QString, QVariant>> &settings = {});
    // A program still running is ended (SIGTERM, as a logout would).
    ~ProgramRun();
    ProgramRun(const ProgramRun &) = delete;
    ProgramRun &operator=(const ProgramRun &) = delete;

    // Where the clip for the file camera goes; written before start().
    QString clipPath() const { return home.filePath(QStringLiteral("clip.avi")); }
    QString settingsFile() const;
    // A setting as the program's file holds it now.
    QVariant setting(const char *key) const;

    // The main window's client area once the start-up questions are answered; null when the
    // program did not get there. `atReady` sees the ready-to-start dialog (its client area)
    // before it is answered.
    QRect start(DesktopView &desktop, const std::function<void(const QRect &)> &atReady = {});
    // True when the program ended normally with 0. The pointer is put on the bare desktop
    // first, so that no dwell click takes the focus from the question.
    bool quit(DesktopView &desktop, const QRect &mainWindow);
    // Answers the question the program asks over its main window (it bears the main window's
    // title) with `key` once it is shown and has the focus, the pointer on the bare desktop
    // meanwhile; true once it has gone.
    bool answerQuestion(DesktopView &desktop, const QString &key = QStringLiteral("Return"));
    // The question shown over the main window (a window with its title, not the main window);
    // 0 while there is none.
    unsigned long question(DesktopView &desktop) const;
    // True when the program ends within `timeoutMs` (stretched under a sanitizer).
    bool waitForEnd(int timeoutMs = 60000);
    // The program's last lines of output (standard output and errors, as they came).
    QString lastOutput(int lines = 40) const;

    static QString mainWindowTitle() { return QStringLiteral("Tovra Mouse - v3.1.3.2"); }

    QProcess process;

private:
    QTemporaryDir home;
    // The main window's X id once start() has seen it.
    unsigned long mainWindowId = 0;
};
