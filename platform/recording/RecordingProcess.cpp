#include "platform/recording/RecordingProcess.h"

#include "platform/recording/CallLog.h"
#include "platform/recording/RecordingPointerScreens.h"

namespace platform {

bool RecordingProcess::raisePriority()
{
    recordingLog().add(QStringLiteral("process"), QStringLiteral("raisePriority"));
    if (failing)
        return false;
    raised = true;
    return true;
}

bool RecordingProcess::lowerPriority()
{
    recordingLog().add(QStringLiteral("process"), QStringLiteral("lowerPriority"));
    raised = false;
    return true;
}

QRect RecordingProcess::workArea()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!area.isEmpty())
            return area;
    }
    return recordingPointerScreens().primaryScreen();
}

quintptr RecordingProcess::foregroundWindow()
{
    std::lock_guard<std::mutex> lock(mutex);
    return focused;
}

bool RecordingProcess::setForegroundWindow(quintptr window)
{
    recordingLog().add(QStringLiteral("process"), QStringLiteral("setForegroundWindow"),
                       QString::number(window));
    if (failing)
        return false;
    std::lock_guard<std::mutex> lock(mutex);
    focused = window;
    return true;
}

bool RecordingProcess::setAspectRatio(quintptr window, QSize ratio)
{
    recordingLog().add(
        QStringLiteral("process"), QStringLiteral("setAspectRatio"),
        QStringLiteral("%1 %2:%3").arg(window).arg(ratio.width()).arg(ratio.height()));
    if (failing)
        return false;
    std::lock_guard<std::mutex> lock(mutex);
    ratios.insert(window, ratio);
    return true;
}

void RecordingProcess::setWorkArea(const QRect &physical)
{
    std::lock_guard<std::mutex> lock(mutex);
    area = physical;
}

void RecordingProcess::setFocusedWindow(quintptr window)
{
    std::lock_guard<std::mutex> lock(mutex);
    focused = window;
}

QSize RecordingProcess::aspectRatio(quintptr window) const
{
    std::lock_guard<std::mutex> lock(mutex);
    return ratios.value(window);
}

PointedWindow RecordingProcess::windowUnderPointer()
{
    std::lock_guard<std::mutex> lock(mutex);
    return underPointer;
}

void RecordingProcess::setWindowUnderPointer(const PointedWindow &window)
{
    std::lock_guard<std::mutex> lock(mutex);
    underPointer = window;
}

void RecordingProcess::reset()
{
    raised = false;
    failing = false;
    std::lock_guard<std::mutex> lock(mutex);
    area = QRect();
    focused = 0;
    ratios.clear();
    underPointer = PointedWindow();
}

} // namespace platform
