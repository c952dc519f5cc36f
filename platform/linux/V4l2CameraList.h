#pragma once

#include "platform/CameraList.h"

namespace platform {

// The video-capture nodes under /dev, in node order, named by their driver's card name.
class V4l2CameraList : public CameraList
{
public:
    explicit V4l2CameraList(const QString &deviceFolder = QStringLiteral("/dev"));
    QList<CameraDevice> cameras() override;

private:
    QString folder;
};

} // namespace platform
