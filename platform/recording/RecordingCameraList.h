#pragma once

#include "platform/CameraList.h"

#include <mutex>

namespace platform {

// A camera list the test sets; calls are logged under "camera".
class RecordingCameraList : public CameraList
{
public:
    QList<CameraDevice> cameras() override;
    // For tests: the list the next calls return (each call may take the next list queued).
    void setCameras(const QList<CameraDevice> &list);
    void queueCameras(const QList<CameraDevice> &list);
    void reset();

private:
    mutable std::mutex mutex;
    QList<CameraDevice> current;
    QList<QList<CameraDevice>> queued;
};

RecordingCameraList &recordingCameraList();

} // namespace platform
