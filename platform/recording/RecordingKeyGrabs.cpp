#include "platform/recording/RecordingKeyGrabs.h"

#include "platform/recording/CallLog.h"

namespace platform {

namespace {

quint64 combination(quint32 keycode, quint32 modifiers)
{
    return (quint64(modifiers) << 32) | keycode;
}

QString args(quint32 keycode, quint32 modifiers)
{
    return QStringLiteral("%1,%2").arg(keycode).arg(modifiers);
}

} // namespace

bool RecordingKeyGrabs::keycodeFor(Qt::Key key, quint32 &keycode)
{
    keycode = quint32(key);
    return key != Qt::Key_unknown && key != 0;
}

quint32 RecordingKeyGrabs::modifiersFor(Qt::KeyboardModifiers modifiers)
{
    return quint32(modifiers);
}

bool RecordingKeyGrabs::grab(quint32 keycode, quint32 modifiers, QString &error)
{
    recordingLog().add(QStringLiteral("keys"), QStringLiteral("grab"), args(keycode, modifiers));
    std::lock_guard<std::mutex> lock(mutex);
    if (taken.contains(combination(keycode, modifiers))) {
        error = QStringLiteral("BadAccess (attempt to access private resource denied)");
        return false;
    }
    grabbed.insert(combination(keycode, modifiers));
    return true;
}

bool RecordingKeyGrabs::ungrab(quint32 keycode, quint32 modifiers, QString &)
{
    recordingLog().add(QStringLiteral("keys"), QStringLiteral("ungrab"), args(keycode, modifiers));
    std::lock_guard<std::mutex> lock(mutex);
    grabbed.remove(combination(keycode, modifiers));
    return true;
}

KeyGrabs::KeyEvent RecordingKeyGrabs::decodeEvent(const QByteArray &eventType, void *message,
                                                  quint32 &keycode, quint32 &modifiers)
{
    if (eventType != kEventType || !message)
        return KeyEvent::Other;
    const auto *event = static_cast<const Event *>(message);
    keycode = event->keycode;
    modifiers = event->modifiers;
    return event->kind;
}

bool RecordingKeyGrabs::isKeyDown(quint32 keycode)
{
    recordingLog().add(QStringLiteral("keys"), QStringLiteral("isKeyDown"),
                       QString::number(keycode));
    std::lock_guard<std::mutex> lock(mutex);
    return down.contains(keycode);
}

void RecordingKeyGrabs::setKeyDown(quint32 keycode, bool isDown)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (isDown)
        down.insert(keycode);
    else
        down.remove(keycode);
}

bool RecordingKeyGrabs::isGrabbed(quint32 keycode, quint32 modifiers) const
{
    std::lock_guard<std::mutex> lock(mutex);
    return grabbed.contains(combination(keycode, modifiers));
}

void RecordingKeyGrabs::setTakenElsewhere(quint32 keycode, quint32 modifiers)
{
    std::lock_guard<std::mutex> lock(mutex);
    taken.insert(combination(keycode, modifiers));
}

void RecordingKeyGrabs::reset()
{
    std::lock_guard<std::mutex> lock(mutex);
    grabbed.clear();
    taken.clear();
    down.clear();
}

} // namespace platform
