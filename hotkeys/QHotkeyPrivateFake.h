#pragma once

#include "hotkeys/QHotkeyPrivate.h"

#include <QSet>
#include <QVector>

class QThread;

// A registry without a desktop, for tests: while it exists it is the registry every hotkey
// uses. It logs each registration call, refuses what it is told to refuse and plays key
// presses and releases. A native key is the Qt key, a native modifier the Qt modifier bits.
class QHotkeyPrivateFake : public QHotkeyPrivate
{
public:
    struct Call
    {
        bool registering = false; // false: an unregistration
        QHotkey::NativeShortcut shortcut;
        QThread *thread = nullptr; // the thread the call ran on
    };

    QHotkeyPrivateFake();
    ~QHotkeyPrivateFake() override;

    // Queue activated or released on the hotkeys holding the combination, as a key would.
    void press(QHotkey::NativeShortcut shortcut) { activateShortcut(shortcut); }
    void release(QHotkey::NativeShortcut shortcut) { releaseShortcut(shortcut); }

    bool nativeEventFilter(const QByteArray &, void *, long *) override { return false; }

    QVector<Call> calls;
    QSet<QHotkey::NativeShortcut> held;    // combinations registered with the "system"
    QSet<QHotkey::NativeShortcut> refused; // registrations to refuse
    QSet<int> unmappableKeys;              // Qt keys the "layout" lacks
    bool refuseUnregistration = false;
    QString refusalText = QStringLiteral("Held by another program");

protected:
    quint32 nativeKeycode(Qt::Key keycode, bool &ok) override;
    quint32 nativeModifiers(Qt::KeyboardModifiers modifiers, bool &ok) override;
    bool registerShortcut(QHotkey::NativeShortcut shortcut) override;
    bool unregisterShortcut(QHotkey::NativeShortcut shortcut) override;
};
