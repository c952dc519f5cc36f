#pragma once

#include <QList>
#include <QString>

// The video capture devices of the system, in a stable order.
namespace platform {

struct CameraDevice
{
    // What the user sees and the settings remember.
    QString name;
    // What the capture library opens (a device node such as /dev/video0, or a file).
    QString source;
};

class CameraList
{
public:
    virtual ~CameraList() = default;
    virtual QList<CameraDevice> cameras() = 0;
};

} // namespace platform
