#include "hotkeys/QHotkeyPrivateX11.h"

#include "platform/KeyGrabs.h"
#include "platform/Platform.h"

#include <QCoreApplication>

QHotkeyPrivateX11::QHotkeyPrivateX11()
{
    pollTimer.setInterval(50);
    QObject::connect(&pollTimer, &QTimer::timeout, this, &QHotkeyPrivateX11::pollRelease);

    platform::KeyGrabs &keys = platform::keyGrabs();
    if (!keys.isAvailable()) {
        qCWarning(logQHotkey) << "No X11 display: global hotkeys are not available.";
    } else if (!keys.enableDetectableAutoRepeat()) {
        // A held combination then sends repeated presses and no releases until it is let
        // go, so it activates once and releases once; without it, more than once.
        qCWarning(logQHotkey) << "The X server cannot report key auto-repeat; a held "
                                 "hotkey may activate more than once.";
    }

    // The key events arrive on the GUI thread, so the tables live there, whoever asked first.
    if (QCoreApplication *app = QCoreApplication::instance())
        moveToThread(app->thread());
}

QHotkeyPrivateX11::~QHotkeyPrivateX11() = default;

quint32 QHotkeyPrivateX11::nativeKeycode(Qt::Key keycode, bool &ok)
{
    quint32 native = 0;
    ok = platform::keyGrabs().keycodeFor(keycode, native);
    return native;
}

quint32 QHotkeyPrivateX11::nativeModifiers(Qt::KeyboardModifiers modifiers, bool &ok)
{
    ok = true;
    return platform::keyGrabs().modifiersFor(modifiers);
}

bool QHotkeyPrivateX11::registerShortcut(QHotkey::NativeShortcut shortcut)
{
    return platform::keyGrabs().grab(shortcut.key, shortcut.modifier, lastError);
}

bool QHotkeyPrivateX11::unregisterShortcut(QHotkey::NativeShortcut shortcut)
{
    return platform::keyGrabs().ungrab(shortcut.key, shortcut.modifier, lastError);
}

bool QHotkeyPrivateX11::nativeEventFilter(const QByteArray &eventType, void *message, long *)
{
    quint32 key = 0;
    quint32 modifiers = 0;
    switch (platform::keyGrabs().decodeEvent(eventType, message, key, modifiers)) {
    case platform::KeyGrabs::KeyEvent::Press: {
        const QHotkey::NativeShortcut shortcut(key, modifiers);
        if (!holds(shortcut))
            return false;
        // A further press of a key not yet released is the keyboard's auto-repeat.
        for (const QHotkey::NativeShortcut &pending : qAsConst(polledShortcuts)) {
            if (pending.key == shortcut.key)
                return false;
        }
        activateShortcut(shortcut);
        if (polledShortcuts.isEmpty())
            pollTimer.start();
        polledShortcuts.append(shortcut);
        break;
    }
    case platform::KeyGrabs::KeyEvent::Release:
        // The modifiers may already be up, so only the key is compared.
        releaseEntries([key](quint32 pending) { return pending == key; });
        break;
    case platform::KeyGrabs::KeyEvent::Other:
        break;
    }
    return false;
}

void QHotkeyPrivateX11::pollRelease()
{
    // The release event can go missing (a grab broken by another client, a lost focus); the
    // keyboard state tells the truth, so no hotkey stays pressed.
    platform::KeyGrabs &keys = platform::keyGrabs();
    releaseEntries([&keys](quint32 key) { return !keys.isKeyDown(key); });
}

void QHotkeyPrivateX11::releaseEntries(const std::function<bool(quint32)> &isUp)
{
    for (auto it = polledShortcuts.begin(); it != polledShortcuts.end();) {
        if (isUp(it->key)) {
            releaseShortcut(*it);
            it = polledShortcuts.erase(it);
        } else {
            ++it;
        }
    }
    if (polledShortcuts.isEmpty())
        pollTimer.stop();
}
