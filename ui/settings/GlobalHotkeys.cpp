#include "ui/settings/GlobalHotkeys.h"

#include "core/FacialDetectionApp.h"
#include "core/SettingsKeys.h"
#include "hotkeys/QHotkey.h"

#include <QCoreApplication>

using namespace SettingKeys;

namespace {

const GlobalHotkeys::CommandKeys kCommands[GlobalHotkeys::CommandCount] = {
    {HK_ACTIVATE_TOGGLE_CLICKING, HK_KEYSEQ_TOGGLE_CLICKING,
     QT_TRANSLATE_NOOP("SettingsWindow", "Activate <> Pause Clicking")},
    {HK_ACTIVATE_PLAYPAUSE, HK_KEYSEQ_PLAYPAUSE,
     QT_TRANSLATE_NOOP("SettingsWindow", "Play <> Temporarily Stop Tovra Mouse")},
    {HK_ACTIVATE_CLICKOPTS, HK_KEYSEQ_CLICKOPTS,
     QT_TRANSLATE_NOOP("SettingsWindow", "Show <> Hide Click Opts Window")},
    {HK_ACTIVATE_MAINWINDOW, HK_KEYSEQ_MAINWINDOW,
     QT_TRANSLATE_NOOP("SettingsWindow", "Show <> Hide Main Window")},
    {HK_ACTIVATE_MOUSEX_INCREASE, HK_KEYSEQ_MOUSEX_INCREASE,
     QT_TRANSLATE_NOOP("SettingsWindow", "Mouse Sensitivity - X : Increase")},
    {HK_ACTIVATE_MOUSEX_DECREASE, HK_KEYSEQ_MOUSEX_DECREASE,
     QT_TRANSLATE_NOOP("SettingsWindow", "Mouse Sensitivity - X : Decrease")},
    {HK_ACTIVATE_MOUSEY_INCREASE, HK_KEYSEQ_MOUSEY_INCREASE,
     QT_TRANSLATE_NOOP("SettingsWindow", "Mouse Sensitivity - Y : Increase")},
    {HK_ACTIVATE_MOUSEY_DECREASE, HK_KEYSEQ_MOUSEY_DECREASE,
     QT_TRANSLATE_NOOP("SettingsWindow", "Mouse Sensitivity - Y : Decrease")},
    {HK_ACTIVATE_RECENTER, HK_KEYSEQ_RECENTER,
     QT_TRANSLATE_NOOP("SettingsWindow", "Recenter Pointer")},
    {HK_ACTIVATE_CALIBRATE, HK_KEYSEQ_CALIBRATE, QT_TRANSLATE_NOOP("SettingsWindow", "Calibrate")},
    {HK_ACTIVATE_SMILEDWELL, HK_KEYSEQ_SMILEDWELL,
     QT_TRANSLATE_NOOP("SettingsWindow", "Smile <> Dwell Click Mode")},
};

FacialDetectionApp *app()
{
    return FacialDetectionApp::instance();
}

QVariant stored(const char *key)
{
    return app() ? app()->getSetting(QString::fromLatin1(key)) : QVariant();
}

QString storedCombination(GlobalHotkeys::Command command)
{
    return stored(GlobalHotkeys::keysOf(command).sequence).toString();
}

// The settings file holds combinations in their portable form, whatever the language.
QKeySequence sequenceOf(const QString &combination)
{
    return QKeySequence::fromString(combination, QKeySequence::PortableText);
}

QString shown(const QString &combination)
{
    return combination.isEmpty() ? GlobalHotkeys::tr("no keys") : combination;
}

QString titleOf(GlobalHotkeys::Command command)
{
    return QCoreApplication::translate("SettingsWindow", GlobalHotkeys::keysOf(command).title);
}

} // namespace

const GlobalHotkeys::CommandKeys &GlobalHotkeys::keysOf(Command command)
{
    return kCommands[command];
}

GlobalHotkeys::GlobalHotkeys(QObject *owner)
    : QObject(owner)
{
    for (QHotkey *&hotkey : hotkeys)
        hotkey = new QHotkey(QKeySequence(), false, owner);
}

void GlobalHotkeys::registerStored()
{
    Report report;
    for (int i = 0; i < CommandCount; ++i) {
        const Command command = Command(i);
        held[i] = storedCombination(command);
        hotkeys[i]->setShortcut(sequenceOf(held[i]), true);
        enabledSeen[i] = isEnabled(command);
        // A command left off loses nothing yet: it is reported when it is switched on.
        if (enabledSeen[i] && !held[i].isEmpty() && !hotkeys[i]->isRegistered() &&
            firstFailure(command, held[i]))
            report.unusable << tr("%1 for \"%2\"").arg(shown(held[i]), titleOf(command));
    }
    send(report);
}

bool GlobalHotkeys::isEnabled(Command command)
{
    return stored(keysOf(command).enable).toInt() != 0;
}

int GlobalHotkeys::toastTimeMs()
{
    return toastTimeMs(stored(HOTKEY_MESSAGE_TIME).toInt());
}

int GlobalHotkeys::toastTimeMs(int stored)
{
    if (stored < 1)
        return 0;
    return stored <= 10 ? stored * 1000 : stored;
}

bool GlobalHotkeys::apply(Command command, const QString &combination)
{
    QHotkey *hotkey = hotkeys[command];
    const bool wasRegistered = hotkey->isRegistered();
    if (wasRegistered)
        hotkey->setRegistered(false);
    if (hotkey->setShortcut(sequenceOf(combination), true)) {
        held[command] = combination;
        return true;
    }
    // Given back a moment ago, the old combination is ours to take again.
    hotkey->setShortcut(sequenceOf(held[command]), wasRegistered);
    return false;
}

bool GlobalHotkeys::change(Command command, const QKeySequence &sequence)
{
    if (sequence == sequenceOf(held[command]) &&
        (sequence.isEmpty() || hotkeys[command]->isRegistered()))
        return true;
    return apply(command, sequence.toString(QKeySequence::PortableText));
}

void GlobalHotkeys::followStore()
{
    // Putting a combination back into the store brings us here again.
    if (following)
        return;
    following = true;
    Report report;
    for (int i = 0; i < CommandCount; ++i) {
        const Command command = Command(i);
        const bool enabled = isEnabled(command);
        const bool switchedOn = enabled && !enabledSeen[i];
        enabledSeen[i] = enabled;
        const QString wanted = storedCombination(command);
        if (sequenceOf(wanted) != sequenceOf(held[i])) {
            if (apply(command, wanted))
                continue;
            if (firstFailure(command, wanted))
                report.kept << tr("\"%1\" stays %2 (not %3)")
                                   .arg(titleOf(command), shown(held[i]), shown(wanted));
            // The Hotkeys tab shows what the command holds.
            if (app())
                app()->setSetting(QString::fromLatin1(keysOf(command).sequence), held[i]);
        } else if (switchedOn && !held[i].isEmpty() && !hotkeys[i]->isRegistered()) {
            // Whoever held the combination may have let go of it since.
            if (!apply(command, held[i]) && firstFailure(command, held[i]))
                report.unusable << tr("%1 for \"%2\"").arg(shown(held[i]), titleOf(command));
        }
    }
    following = false;
    send(report);
}

void GlobalHotkeys::unregister(Command command)
{
    if (hotkeys[command]->isRegistered())
        hotkeys[command]->setRegistered(false);
}

bool GlobalHotkeys::firstFailure(Command command, const QString &combination)
{
    const QString key = QString::number(int(command)) + QLatin1Char(' ') +
                        sequenceOf(combination).toString(QKeySequence::PortableText);
    if (failures.contains(key))
        return false;
    failures.insert(key);
    return true;
}

void GlobalHotkeys::send(const Report &report)
{
    const QString list = QStringLiteral("\n\n%1\n\n");
    if (!report.unusable.isEmpty())
        emit problem(tr("These hotkeys do nothing: another program already uses their keys, or "
                        "the keyboard cannot type them.") +
                     list.arg(report.unusable.join(QLatin1Char('\n'))) +
                     tr("Choose other keys on the \"5. Hotkeys\" tab of the settings."));
    if (!report.kept.isEmpty())
        emit problem(tr("These hotkeys were not changed: another program already uses the new "
                        "keys, or the keyboard cannot type them.") +
                     list.arg(report.kept.join(QLatin1Char('\n'))) +
                     tr("The old keys still work where they worked before."));
}
