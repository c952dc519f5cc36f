#include "hotkeys/QHotkeyPrivateFake.h"

#include <QThread>

QHotkeyPrivateFake::QHotkeyPrivateFake()
{
    installInstance(this);
}

QHotkeyPrivateFake::~QHotkeyPrivateFake()
{
    if (instance() == this)
        installInstance(nullptr);
}

quint32 QHotkeyPrivateFake::nativeKeycode(Qt::Key keycode, bool &ok)
{
    ok = keycode != Qt::Key_unknown && !unmappableKeys.contains(keycode);
    return ok ? quint32(keycode) : 0;
}

quint32 QHotkeyPrivateFake::nativeModifiers(Qt::KeyboardModifiers modifiers, bool &ok)
{
    ok = true;
    return quint32(modifiers &
                   (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

bool QHotkeyPrivateFake::registerShortcut(QHotkey::NativeShortcut shortcut)
{
    calls.append({true, shortcut, QThread::currentThread()});
    if (refused.contains(shortcut)) {
        lastError = refusalText;
        return false;
    }
    held.insert(shortcut);
    return true;
}

bool QHotkeyPrivateFake::unregisterShortcut(QHotkey::NativeShortcut shortcut)
{
    calls.append({false, shortcut, QThread::currentThread()});
    if (refuseUnregistration) {
        lastError = refusalText;
        return false;
    }
    held.remove(shortcut);
    return true;
}
