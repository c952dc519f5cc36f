#pragma once

#include <QByteArray>
#include <QString>
#include <Qt>
#include <QtGlobal>

// Global key combinations: grabbed on the desktop for the whole session, so they reach us
// while other programs have the focus. The grabs are made on the GUI toolkit's own
// connection, so their key events arrive through its native event filter, where
// decodeEvent() reads them. GUI thread only.
namespace platform {

class KeyGrabs
{
public:
    virtual ~KeyGrabs() = default;

    enum class KeyEvent
    {
        Other,
        Press,
        Release
    };

    // Whether grabs can work at all (the toolkit runs on the desktop's display).
    virtual bool isAvailable() const = 0;
    // A held key then sends repeated presses and no releases until it is let go. False when
    // the desktop cannot do it.
    virtual bool enableDetectableAutoRepeat() = 0;
    // The native key carrying `key` in the current keyboard layout; false when it has none.
    virtual bool keycodeFor(Qt::Key key, quint32 &keycode) = 0;
    virtual quint32 modifiersFor(Qt::KeyboardModifiers modifiers) = 0;
    // Grabs the combination in every lock state (Caps Lock, Num Lock), all or nothing: on
    // failure nothing stays grabbed and `error` says why.
    virtual bool grab(quint32 keycode, quint32 modifiers, QString &error) = 0;
    virtual bool ungrab(quint32 keycode, quint32 modifiers, QString &error) = 0;
    // A native event of the toolkit: a key press or release with its key and the combination's
    // modifiers (lock states left out), or Other.
    virtual KeyEvent decodeEvent(const QByteArray &eventType, void *message, quint32 &keycode,
                                 quint32 &modifiers) = 0;
    // Whether the key is down now; false when the keyboard cannot be asked, so nothing is
    // taken for held.
    virtual bool isKeyDown(quint32 keycode) = 0;
};

} // namespace platform
