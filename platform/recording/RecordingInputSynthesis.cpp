#include "platform/recording/RecordingInputSynthesis.h"

#include "platform/recording/CallLog.h"
#include "platform/recording/RecordingPointerScreens.h"

#include <QtGlobal>

namespace platform {

namespace {
QString nameOf(MouseButton button)
{
    return button == MouseButton::Right ? QStringLiteral("right") : QStringLiteral("left");
}
} // namespace

QString RecordingInputSynthesis::nameOf(Key key)
{
    switch (key) {
    case Key::Space:
        return QStringLiteral("Space");
    case Key::Return:
        return QStringLiteral("Return");
    case Key::One:
        return QStringLiteral("1");
    case Key::F12:
        return QStringLiteral("F12");
    case Key::F13:
        return QStringLiteral("F13");
    case Key::F14:
        return QStringLiteral("F14");
    }
    return {};
}

void RecordingInputSynthesis::logEvent(const QString &event, const QString &args)
{
    recordingLog().add(QStringLiteral("input"), event, args);
}

bool RecordingInputSynthesis::moveAbsolute(int x, int y)
{
    RecordingPointerScreens &screens = recordingPointerScreens();
    // The X server keeps the pointer on the screen; so does this one.
    const QRect whole = screens.virtualScreen();
    if (!whole.isEmpty()) {
        x = qBound(whole.left(), x, whole.right());
        y = qBound(whole.top(), y, whole.bottom());
    }
    logEvent(QStringLiteral("move"), QStringLiteral("%1,%2").arg(x).arg(y));
    screens.setPointer(QPoint(x, y));
    return true;
}

bool RecordingInputSynthesis::moveRelative(int dx, int dy)
{
    const QPoint at = recordingPointerScreens().pointer();
    return moveAbsolute(at.x() + dx, at.y() + dy);
}

bool RecordingInputSynthesis::buttonDown(MouseButton button)
{
    std::lock_guard<std::mutex> lock(eventMutex);
    held.press(button);
    logEvent(QStringLiteral("button"), platform::nameOf(button) + QStringLiteral(",down"));
    return true;
}

bool RecordingInputSynthesis::buttonUp(MouseButton button)
{
    std::lock_guard<std::mutex> lock(eventMutex);
    logButtonUp(button);
    return true;
}

void RecordingInputSynthesis::logButtonUp(MouseButton button)
{
    logEvent(QStringLiteral("button"), platform::nameOf(button) + QStringLiteral(",up"));
    held.release(button);
}

bool RecordingInputSynthesis::wheel(int delta)
{
    if (delta == 0)
        return true;
    const int notches = held.takeNotches(delta);
    for (int i = 0; i < qAbs(notches); ++i)
        logEvent(QStringLiteral("wheel"),
                 notches > 0 ? QStringLiteral("up") : QStringLiteral("down"));
    return true;
}

bool RecordingInputSynthesis::keyDown(Key key)
{
    std::lock_guard<std::mutex> lock(eventMutex);
    held.press(key);
    logEvent(QStringLiteral("key"), nameOf(key) + QStringLiteral(",down"));
    return true;
}

bool RecordingInputSynthesis::keyUp(Key key)
{
    std::lock_guard<std::mutex> lock(eventMutex);
    logKeyUp(key);
    return true;
}

void RecordingInputSynthesis::logKeyUp(Key key)
{
    logEvent(QStringLiteral("key"), nameOf(key) + QStringLiteral(",up"));
    held.release(key);
}

void RecordingInputSynthesis::releaseAll()
{
    // One step, as on the desktop: a press from another thread comes before all of it or
    // after all of it, never between the log and the record.
    std::lock_guard<std::mutex> lock(eventMutex);
    for (MouseButton button : held.takeButtons())
        logButtonUp(button);
    for (Key key : held.takeKeys())
        logKeyUp(key);
    held.clear();
}

bool RecordingInputSynthesis::isHeld(MouseButton button) const
{
    return held.isHeld(button);
}

bool RecordingInputSynthesis::isHeld(Key key) const
{
    return held.isHeld(key);
}

void RecordingInputSynthesis::reset()
{
    std::lock_guard<std::mutex> lock(eventMutex);
    held.clear();
}

} // namespace platform
