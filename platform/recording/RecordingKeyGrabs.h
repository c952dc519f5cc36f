#pragma once

#include "platform/KeyGrabs.h"

#include <QSet>

#include <mutex>

// Key grabs in memory; calls are logged under "keys". Keycodes are the Qt key values and
// modifiers the Qt modifier bits, so tests can read them back.
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

    // For tests.
    bool isGrabbed(quint32 keycode, quint32 modifiers) const;
    // A combination another program holds: grabbing it fails.
    void setTakenElsewhere(quint32 keycode, quint32 modifiers);
    void reset();

private:
    mutable std::mutex mutex;
    QSet<quint64> grabbed;
    QSet<quint64> taken;
};

RecordingKeyGrabs &recordingKeyGrabs();

} // namespace platform
