#include "hotkeys/QHotkey.h"

#include "hotkeys/QHotkeyPrivate.h"

QHotkey::QHotkey(const QKeySequence &shortcut, bool autoRegister, QObject *parent)
    : QObject(parent)
{
    setShortcut(shortcut, autoRegister);
}

QHotkey::~QHotkey()
{
    if (registered) {
        if (QHotkeyPrivate *registry = QHotkeyPrivate::instance())
            registry->removeShortcut(this);
    }
}

QKeySequence QHotkey::shortcut() const
{
    if (keyCode == Qt::Key_unknown)
        return QKeySequence();
    return QKeySequence(int(keyCode) | int(modifiers));
}

bool QHotkey::setRegistered(bool registered)
{
    if (this->registered && !registered)
        return QHotkeyPrivate::instance()->removeShortcut(this);
    if (this->registered == registered)
        return true;
    if (!nativeShortcut.valid)
        return false;
    return QHotkeyPrivate::instance()->addShortcut(this);
}

bool QHotkey::setShortcut(const QKeySequence &shortcut, bool autoRegister)
{
    if (shortcut.isEmpty())
        return resetShortcut();
    if (shortcut.count() > 1) {
        qCWarning(logQHotkey) << "Keysequences with multiple shortcuts are not allowed! Only "
                                 "the first shortcut will be used!";
    }
    const int first = shortcut[0];
    return setShortcut(Qt::Key(first & ~int(Qt::KeyboardModifierMask)),
                       Qt::KeyboardModifiers(first & int(Qt::KeyboardModifierMask)), autoRegister);
}

bool QHotkey::setShortcut(Qt::Key keyCode, Qt::KeyboardModifiers modifiers, bool autoRegister)
{
    if (registered) {
        if (!autoRegister || !QHotkeyPrivate::instance()->removeShortcut(this))
            return false;
    }
    if (keyCode == Qt::Key_unknown) {
        clear();
        return true;
    }
    this->keyCode = keyCode;
    this->modifiers = modifiers;
    nativeShortcut = QHotkeyPrivate::instance()->nativeShortcut(keyCode, modifiers);
    if (nativeShortcut.valid)
        return autoRegister ? QHotkeyPrivate::instance()->addShortcut(this) : true;

    qCWarning(logQHotkey) << "Unable to map shortcut to native keys. Key:" << keyCode
                          << "Modifiers:" << modifiers;
    clear();
    return false;
}

bool QHotkey::resetShortcut()
{
    if (registered && !QHotkeyPrivate::instance()->removeShortcut(this))
        return false;
    clear();
    return true;
}

bool QHotkey::setNativeShortcut(QHotkey::NativeShortcut nativeShortcut, bool autoRegister)
{
    if (registered) {
        if (!autoRegister || !QHotkeyPrivate::instance()->removeShortcut(this))
            return false;
    }
    keyCode = Qt::Key_unknown;
    modifiers = Qt::NoModifier;
    if (!nativeShortcut.valid) {
        this->nativeShortcut = NativeShortcut();
        return true;
    }
    this->nativeShortcut = nativeShortcut;
    return autoRegister ? QHotkeyPrivate::instance()->addShortcut(this) : true;
}

void QHotkey::clear()
{
    keyCode = Qt::Key_unknown;
    modifiers = Qt::NoModifier;
    nativeShortcut = NativeShortcut();
}
