#include "hotkeys/QHotkeyPrivate.h"

#include "hotkeys/QHotkeyPrivateX11.h"

#include <QAbstractEventDispatcher>
#include <QAtomicPointer>
#include <QCoreApplication>
#include <QMetaMethod>
#include <QThread>

Q_LOGGING_CATEGORY(logQHotkey, "QHotkey")

namespace {
// Created on first use by the thread that asks, destroyed at process exit.
Q_GLOBAL_STATIC(QHotkeyPrivateX11, processRegistry)
QAtomicPointer<QHotkeyPrivate> installedRegistry;
} // namespace

QHotkeyPrivate::QHotkeyPrivate()
{
    // Queued and blocking calls carry these by name.
    qRegisterMetaType<QHotkey::NativeShortcut>("QHotkey::NativeShortcut");
    qRegisterMetaType<QHotkey *>("QHotkey*");
    qRegisterMetaType<Qt::Key>("Qt::Key");
    qRegisterMetaType<Qt::KeyboardModifiers>("Qt::KeyboardModifiers");

    if (auto *dispatcher = QCoreApplication::eventDispatcher())
        dispatcher->installNativeEventFilter(this);
}

QHotkeyPrivate::~QHotkeyPrivate()
{
    if (!shortcuts.isEmpty())
        qCWarning(logQHotkey) << "QHotkeyPrivate destroyed with registered shortcuts!";
    if (QCoreApplication::instance()) {
        if (auto *dispatcher = QCoreApplication::eventDispatcher())
            dispatcher->removeNativeEventFilter(this);
    }
}

QHotkeyPrivate *QHotkeyPrivate::instance()
{
    if (QHotkeyPrivate *installed = installedRegistry.loadAcquire())
        return installed;
    return processRegistry();
}

void QHotkeyPrivate::installInstance(QHotkeyPrivate *registry)
{
    installedRegistry.storeRelease(registry);
}

Qt::ConnectionType QHotkeyPrivate::callType() const
{
    return QThread::currentThread() == thread() ? Qt::DirectConnection
                                                : Qt::BlockingQueuedConnection;
}

bool QHotkeyPrivate::addShortcut(QHotkey *hotkey)
{
    if (hotkey->registered)
        return false;
    bool ok = false;
    if (!QMetaObject::invokeMethod(this, "addShortcutInvoked", callType(), Q_RETURN_ARG(bool, ok),
                                   Q_ARG(QHotkey *, hotkey)))
        return false;
    if (ok)
        emit hotkey->registeredChanged(true);
    return ok;
}

bool QHotkeyPrivate::removeShortcut(QHotkey *hotkey)
{
    if (!hotkey->registered)
        return false;
    bool ok = false;
    if (!QMetaObject::invokeMethod(this, "removeShortcutInvoked", callType(),
                                   Q_RETURN_ARG(bool, ok), Q_ARG(QHotkey *, hotkey)))
        return false;
    // A refused unregistration still takes the hotkey out, so report every change of state,
    // and each only once.
    if (!hotkey->registered)
        emit hotkey->registeredChanged(false);
    return ok;
}

QHotkey::NativeShortcut QHotkeyPrivate::nativeShortcut(Qt::Key keycode,
                                                       Qt::KeyboardModifiers modifiers)
{
    QHotkey::NativeShortcut result;
    if (!QMetaObject::invokeMethod(this, "nativeShortcutInvoked", callType(),
                                   Q_RETURN_ARG(QHotkey::NativeShortcut, result),
                                   Q_ARG(Qt::Key, keycode),
                                   Q_ARG(Qt::KeyboardModifiers, modifiers)))
        return QHotkey::NativeShortcut();
    return result;
}

void QHotkeyPrivate::activateShortcut(QHotkey::NativeShortcut shortcut)
{
    queueSignal(shortcut, QMetaMethod::fromSignal(&QHotkey::activated));
}

void QHotkeyPrivate::releaseShortcut(QHotkey::NativeShortcut shortcut)
{
    queueSignal(shortcut, QMetaMethod::fromSignal(&QHotkey::released));
}

void QHotkeyPrivate::queueSignal(QHotkey::NativeShortcut shortcut, const QMetaMethod &signal)
{
    // Queued, so that handlers never run inside the event filter and each hotkey emits on its
    // own thread.
    const QList<QHotkey *> hotkeys = shortcuts.values(shortcut);
    for (QHotkey *hotkey : hotkeys)
        signal.invoke(hotkey, Qt::QueuedConnection);
}

void QHotkeyPrivate::addMappingInvoked(Qt::Key keycode, Qt::KeyboardModifiers modifiers,
                                       QHotkey::NativeShortcut nativeShortcut)
{
    mapping.insert(qMakePair(keycode, modifiers), nativeShortcut);
}

bool QHotkeyPrivate::addShortcutInvoked(QHotkey *hotkey)
{
    const QHotkey::NativeShortcut native = hotkey->nativeShortcut;
    if (!shortcuts.contains(native) && !registerShortcut(native)) {
        qCWarning(logQHotkey).noquote()
            << QHotkey::tr("Failed to register %1. Error: %2")
                   .arg(hotkey->shortcut().toString(QKeySequence::PortableText), lastError);
        return false;
    }
    shortcuts.insert(native, hotkey);
    hotkey->registered = true;
    return true;
}

bool QHotkeyPrivate::removeShortcutInvoked(QHotkey *hotkey)
{
    const QHotkey::NativeShortcut native = hotkey->nativeShortcut;
    if (shortcuts.remove(native, hotkey) == 0)
        return false;
    hotkey->registered = false;
    if (shortcuts.contains(native))
        return true;
    if (!unregisterShortcut(native)) {
        qCWarning(logQHotkey).noquote()
            << QHotkey::tr("Failed to unregister %1. Error: %2")
                   .arg(hotkey->shortcut().toString(QKeySequence::PortableText), lastError);
        return false;
    }
    return true;
}

QHotkey::NativeShortcut QHotkeyPrivate::nativeShortcutInvoked(Qt::Key keycode,
                                                              Qt::KeyboardModifiers modifiers)
{
    const auto mapped = mapping.constFind(qMakePair(keycode, modifiers));
    if (mapped != mapping.constEnd())
        return *mapped;
    bool keyOk = false;
    bool modifiersOk = false;
    const quint32 key = nativeKeycode(keycode, keyOk);
    const quint32 modifier = nativeModifiers(modifiers, modifiersOk);
    if (keyOk && modifiersOk)
        return QHotkey::NativeShortcut(key, modifier);
    return QHotkey::NativeShortcut();
}
