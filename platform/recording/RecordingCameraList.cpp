#include "platform/recording/RecordingCameraList.h"

#include "platform/recording/CallLog.h"

namespace platform {

QList<CameraDevice> RecordingCameraList::cameras()
{
    std::lock_guard<std::mutex> lock(mutex);
    if (!queued.isEmpty())
        current = queued.takeFirst();
    recordingLog().add(QStringLiteral("camera"), QStringLiteral("cameras"),
                       QString::number(current.size()));
    return current;
}

void RecordingCameraList::setCameras(const QList<CameraDevice> &list)
{
    std::lock_guard<std::mutex> lock(mutex);
    queued.clear();
    current = list;
}

void RecordingCameraList::queueCameras(const QList<CameraDevice> &list)
{
    std::lock_guard<std::mutex> lock(mutex);
    queued.append(list);
}

void RecordingCameraList::reset()
{
    std::lock_guard<std::mutex> lock(mutex);
    current.clear();
    queued.clear();
}

} // namespace platform
