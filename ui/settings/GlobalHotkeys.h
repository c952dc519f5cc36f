#pragma once

#include "engine/TrackingParameters.h"

#include <QKeySequence>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <array>

class QHotkey;

// The settings window's eleven global hotkeys, one per command. Each holds its stored
// combination from the window's start to the end of the run, whether or not its command is
// switched on, and follows the store when the combination changes there (a reset, a
// restore). A change that cannot be had keeps the old combination; a combination that cannot
// be registered is reported to the user once. GUI thread only.
class GlobalHotkeys : public QObject
{
    Q_OBJECT
public:
    using Command = TrackingParameters::Hotkey;
    static constexpr int CommandCount = TrackingParameters::HotkeyCount;

    struct CommandKeys
    {
        const char *enable;
        const char *sequence;
        const char *title; // the command as the Hotkeys tab names it
    };
    static const CommandKeys &keysOf(Command command);

    // Creates the eleven hotkeys, without combinations yet, as children of `owner`.
    explicit GlobalHotkeys(QObject *owner);
    // Registers each hotkey with its stored combination; reports what cannot be registered
    // for a command that is switched on.
    void registerStored();

    QHotkey *hotkey(Command command) const { return hotkeys[command]; }
    // What the command holds, registered or not, as the settings file writes it.
    QString combination(Command command) const { return held[command]; }

    // The command's switch as the store holds it: a stopped tracker applies no settings, and
    // a stopped user must still be able to resume by hotkey.
    static bool isEnabled(Command command);
    // How long a command's toast shows, in milliseconds, from HOTKEY_MESSAGE_TIME: 0 shows
    // nothing, 1 to 10 are seconds, larger values are milliseconds.
    static int toastTimeMs();
    static int toastTimeMs(int stored);

    // The user's new combination (empty for none). False when it cannot be registered; the
    // command then keeps the combination it had, working if it worked.
    bool change(Command command, const QKeySequence &sequence);
    // Registers again every combination that the store holds differently now, putting the
    // old one back into the store where the new one cannot be had; tries again a command
    // just switched on whose combination is not registered.
    void followStore();
    void unregister(Command command);

signals:
    // A text for the user: combinations that could not be registered.
    void problem(const QString &text);

private:
    struct Report
    {
        QStringList unusable;
        QStringList kept;
    };

    bool apply(Command command, const QString &combination);
    // True the first time a combination of a command fails.
    bool firstFailure(Command command, const QString &combination);
    void send(const Report &report);

    std::array<QHotkey *, CommandCount> hotkeys{};
    // Kept apart from the hotkey, which forgets a combination that cannot be mapped, in the
    // user's own spelling (the toolkit's puts the modifiers in an order of its own).
    std::array<QString, CommandCount> held;
    std::array<bool, CommandCount> enabledSeen{};
    QSet<QString> failures;
    bool following = false;
};
