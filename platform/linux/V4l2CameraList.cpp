#include "platform/linux/V4l2CameraList.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace platform {

namespace {

// The card name of a node that can capture video; empty for any other node.
QString captureCardName(const QString &node)
{
    const int fd = ::open(QFile::encodeName(node).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {};
    v4l2_capability caps = {};
    QString name;
    if (::ioctl(fd, VIDIOC_QUERYCAP, &caps) == 0) {
        // A camera has several nodes (metadata, ...): only the capture one counts.
        const quint32 nodeCaps =
            (caps.capabilities & V4L2_CAP_DEVICE_CAPS) ? caps.device_caps : caps.capabilities;
        if (nodeCaps & V4L2_CAP_VIDEO_CAPTURE) {
            name = QString::fromUtf8(
                       reinterpret_cast<const char *>(caps.card),
                       int(qstrnlen(reinterpret_cast<const char *>(caps.card), sizeof(caps.card))))
                       .trimmed();
            if (name.isEmpty())
                name = node;
        }
    }
    ::close(fd);
    return name;
}

} // namespace

V4l2CameraList::V4l2CameraList(const QString &deviceFolder)
    : folder(deviceFolder)
{}

QList<CameraDevice> V4l2CameraList::cameras()
{
    static const QRegularExpression pattern(QStringLiteral("^video(\\d+)$"));
    QList<QPair<int, QString>> nodes;
    for (const QString &entry : QDir(folder).entryList(QDir::System | QDir::Files)) {
        const auto match = pattern.match(entry);
        if (match.hasMatch())
            nodes.append({match.captured(1).toInt(), folder + "/" + entry});
    }
    std::sort(nodes.begin(), nodes.end());

    QList<CameraDevice> found;
    for (const auto &node : nodes) {
        QString name = captureCardName(node.second);
        if (name.isEmpty())
            continue;
        // Two cameras of one model: the settings remember a camera by name, so keep names apart.
        const bool taken = std::any_of(found.begin(), found.end(),
                                       [&](const CameraDevice &d) { return d.name == name; });
        if (taken)
            name += QStringLiteral(" (") + node.second + QStringLiteral(")");
        found.append({name, node.second});
    }
    return found;
}

} // namespace platform
