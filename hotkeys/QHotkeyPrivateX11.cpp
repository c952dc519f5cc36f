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
        // A further press of a key not yet released is the keyboard's auto-repeat: the key is
        // still held, whatever a poll saw meanwhile.
        for (Pressed &pending : polledShortcuts) {
            if (pending.shortcut.key == shortcut.key) {
                pending.upPolls = 0;
                return false;
            }
        }
        activateShortcut(shortcut);
        if (polledShortcuts.isEmpty())
            pollTimer.start();
        polledShortcuts.append({shortcut, 0});
        break;
    }
    case platform::KeyGrabs::KeyEvent::Release:
        // The modifiers may already be up, so only the key is compared.
        releaseEntries([key](Pressed &pending) { return pending.shortcut.key == key; });
        break;
    case platform::KeyGrabs::KeyEvent::Other:
        break;
    }
    return false;
}

void QHotkeyPrivateX11::pollRelease()
{
    // The release event can go missing (a grab broken by another client, a lost focus); the
    // keyboard state tells the truth, so no hotkey stays pressed. The state is newer than the
    // events still queued behind it: a repeat of the held key may yet come, then its
    // release. So a key counts as let go only when two polls in a row found it up.
    platform::KeyGrabs &keys = platform::keyGrabs();
    releaseEntries([&keys](Pressed &pending) {
        pending.upPolls = keys.isKeyDown(pending.shortcut.key) ? 0 : pending.upPolls + 1;
        return pending.upPolls >= 2;
    });
}

void QHotkeyPrivateX11::releaseEntries(const std::function<bool(Pressed &)> &isUp)
{
    for (auto it = polledShortcuts.begin(); it != polledShortcuts.end();) {
        if (isUp(*it)) {
            releaseShortcut(it->shortcut);
            it = polledShortcuts.erase(it);
        } else {
            ++it;
        }
    }
    if (polledShortcuts.isEmpty())
        pollTimer.stop();
}
