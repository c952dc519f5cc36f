#pragma once

#include "hotkeys/QHotkey.h"

#include <QAbstractNativeEventFilter>
#include <QHash>
#include <QLoggingCategory>
#include <QMultiHash>
#include <QObject>
#include <QPair>

Q_DECLARE_LOGGING_CATEGORY(logQHotkey)

// The process-wide registry of hotkeys: maps each native combination to the hotkeys that use
// it, asks the platform for a combination when the first hotkey joins and gives it back when
// the last one leaves, and turns the platform's key events into the hotkeys' signals. Its
// tables are touched only on its own thread; other threads wait for it.
class QHotkeyPrivate : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    QHotkeyPrivate();
    ~QHotkeyPrivate() override;

    // The registry in use; null once it has been destroyed at process exit.
    static QHotkeyPrivate *instance();

    bool addShortcut(QHotkey *hotkey);
    bool removeShortcut(QHotkey *hotkey);
    QHotkey::NativeShortcut nativeShortcut(Qt::Key keycode, Qt::KeyboardModifiers modifiers);

protected:
    virtual quint32 nativeKeycode(Qt::Key keycode, bool &ok) = 0;
    virtual quint32 nativeModifiers(Qt::KeyboardModifiers modifiers, bool &ok) = 0;
    virtual bool registerShortcut(QHotkey::NativeShortcut shortcut) = 0;
    virtual bool unregisterShortcut(QHotkey::NativeShortcut shortcut) = 0;

    // Queue activated or released on every hotkey holding the combination.
    void activateShortcut(QHotkey::NativeShortcut shortcut);
    void releaseShortcut(QHotkey::NativeShortcut shortcut);
    bool holds(QHotkey::NativeShortcut shortcut) const { return shortcuts.contains(shortcut); }

    // Makes another registry the one instance() yields (null gives back the process-wide
    // one); test back ends use it for their lifetime.
    static void installInstance(QHotkeyPrivate *registry);

    QString lastError;

private:
    Q_INVOKABLE void addMappingInvoked(Qt::Key keycode, Qt::KeyboardModifiers modifiers,
                                       QHotkey::NativeShortcut nativeShortcut);
    Q_INVOKABLE bool addShortcutInvoked(QHotkey *hotkey);
    Q_INVOKABLE bool removeShortcutInvoked(QHotkey *hotkey);
    Q_INVOKABLE QHotkey::NativeShortcut nativeShortcutInvoked(Qt::Key keycode,
                                                              Qt::KeyboardModifiers modifiers);

    void queueSignal(QHotkey::NativeShortcut shortcut, const QMetaMethod &signal);
    Qt::ConnectionType callType() const;

    QHash<QPair<Qt::Key, Qt::KeyboardModifiers>, QHotkey::NativeShortcut> mapping;
    QMultiHash<QHotkey::NativeShortcut, QHotkey *> shortcuts;
};
