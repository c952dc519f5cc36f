#pragma once

#include "platform/KeyGrabs.h"

#include <QSet>

#include <mutex>

// Key grabs in memory; calls are logged under "keys". Keycodes are the Qt key values and
// modifiers the Qt modifier bits, so tests can read them back. Tests play key events through
// the registry's event filter as native events of type kEventType whose message is an Event.
namespace platform {

class RecordingKeyGrabs : public KeyGrabs
{
public:
    bool isAvailable() const override { return true; }
    bool enableDetectableAutoRepeat() override { return true; }
    bool keycodeFor(Qt::Key key, quint32 &keycode) override;
    quint32 modifiersFor(Qt::KeyboardModifiers modifiers) override;
    bool grab(quint32 keycode, quint32 modifiers, QString &error) override;
    bool ungrab(quint32 keycode, quint32 modifiers, QString &error) override;
    KeyEvent decodeEvent(const QByteArray &eventType, void *message, quint32 &keycode,
                         quint32 &modifiers) override;
    bool isKeyDown(quint32 keycode) override;

    static constexpr const char *kEventType = "tovra-recorded-key";
    struct Event
    {
        KeyEvent kind;
        quint32 keycode;
        quint32 modifiers;
    };

    // For tests.
    void setKeyDown(quint32 keycode, bool isDown);
    bool isGrabbed(quint32 keycode, quint32 modifiers) const;
    // A combination another program holds: grabbing it fails.
    void setTakenElsewhere(quint32 keycode, quint32 modifiers);
    void reset();

private:
    mutable std::mutex mutex;
    QSet<quint64> grabbed;
    QSet<quint64> taken;
    QSet<quint32> down;
};

RecordingKeyGrabs &recordingKeyGrabs();

} // namespace platform
