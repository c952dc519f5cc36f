#pragma once

#include "platform/KeyGrabs.h"

namespace platform {

// Key grabs on the root window of Qt's own xcb connection, with every lock-state variant.
class X11KeyGrabs : public KeyGrabs
{
public:
    bool isAvailable() const override;
    bool enableDetectableAutoRepeat() override;
    bool keycodeFor(Qt::Key key, quint32 &keycode) override;
    quint32 modifiersFor(Qt::KeyboardModifiers modifiers) override;
    bool grab(quint32 keycode, quint32 modifiers, QString &error) override;
    bool ungrab(quint32 keycode, quint32 modifiers, QString &error) override;
    KeyEvent decodeEvent(const QByteArray &eventType, void *message, quint32 &keycode,
                         quint32 &modifiers) override;
    bool isKeyDown(quint32 keycode) override;
};

} // namespace platform
