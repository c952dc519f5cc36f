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

KeyGrabs::KeyEvent RecordingKeyGrabs::decodeEvent(const QByteArray &, void *, quint32 &, quint32 &)
{
    return KeyEvent::Other;
}

bool RecordingKeyGrabs::isKeyDown(quint32)
{
    return false;
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
}

} // namespace platform
