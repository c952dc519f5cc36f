#pragma once

#include "hotkeys/QHotkeyPrivate.h"

#include <QList>
#include <QTimer>

#include <functional>

// The registry on X11: a combination is a key grab of the desktop's key-grab service, made on
// Qt's own connection, so the key events pass through the registry's native event filter.
class QHotkeyPrivateX11 : public QHotkeyPrivate
{
public:
    QHotkeyPrivateX11();
    ~QHotkeyPrivateX11() override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, long *result) override;

protected:
    quint32 nativeKeycode(Qt::Key keycode, bool &ok) override;
    quint32 nativeModifiers(Qt::KeyboardModifiers modifiers, bool &ok) override;
    bool registerShortcut(QHotkey::NativeShortcut shortcut) override;
    bool unregisterShortcut(QHotkey::NativeShortcut shortcut) override;

private:
    struct Pressed
    {
        QHotkey::NativeShortcut shortcut;
        // Polls in a row that found the key up.
        int upPolls = 0;
    };

    void pollRelease();
    // Releases the entries for which `isUp` says so, in the order of their presses.
    void releaseEntries(const std::function<bool(Pressed &entry)> &isUp);

    QTimer pollTimer{this}; // a child, so it moves with the registry
    // Combinations pressed and not yet seen released, in the order of their presses.
    QList<Pressed> polledShortcuts;
};
