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
class ProgramRun
{
public:
    // The settings of a user who has used the program before: the reset defaults, no first
    // run, no dwell click landing while the test uses the mouse (a dwell needs ten seconds
    // without a pixel of motion); then `settings` over them.
    explicit ProgramRun(const QList<QPair<QString, QVariant>> &settings = {});

    // Where the clip for the file camera goes; written before start().
    QString clipPath() const { return home.filePath(QStringLiteral("clip.avi")); }
    QString settingsFile() const;
    // A setting as the program's file holds it now.
    QVariant setting(const char *key) const;

    // The main window's client area once the start-up questions are answered; null when the
    // program did not get there. `atReady` sees the ready-to-start dialog (its client area)
    // before it is answered.
    QRect start(DesktopView &desktop, const std::function<void(const QRect &)> &atReady = {});
    // True when the program ended normally with 0.
    bool quit(DesktopView &desktop, const QRect &mainWindow);

    static QString mainWindowTitle() { return QStringLiteral("Tovra Mouse - v3.1.3.2"); }

    QProcess process;

private:
    QTemporaryDir home;
};
