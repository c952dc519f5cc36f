#include "platform/recording/RecordingSystemCursors.h"

#include "platform/recording/CallLog.h"
#include "platform/x11/CurFile.h"

#include <QFileInfo>

namespace platform {

QString RecordingSystemCursors::nameOf(Shape shape)
{
    switch (shape) {
    case Shape::Arrow:
        return QStringLiteral("Arrow");
    case Shape::Cross:
        return QStringLiteral("Cross");
    case Shape::Hand:
        return QStringLiteral("Hand");
    case Shape::IBeam:
        return QStringLiteral("IBeam");
    }
    return {};
}

bool RecordingSystemCursors::replace(Shape shape, const QString &curFile, Failure *failure)
{
    recordingLog().add(QStringLiteral("cursors"), QStringLiteral("replace"),
                       nameOf(shape) + ',' + curFile);
    QVector<CurFile::Image> images;
    Failure ignored;
    if (!CurFile::read(curFile, &images, failure ? failure : &ignored))
        return false;
    const CurFile::Image &image = CurFile::closestTo(images, 32);
    std::lock_guard<std::mutex> lock(mutex);
    shown[shape] = QFileInfo(curFile).fileName();
    hotSpots[shape] = QPoint(image.hotX, image.hotY);
    return true;
}

bool RecordingSystemCursors::restore(Shape shape)
{
    recordingLog().add(QStringLiteral("cursors"), QStringLiteral("restore"), nameOf(shape));
    std::lock_guard<std::mutex> lock(mutex);
    shown.remove(shape);
    hotSpots.remove(shape);
    return true;
}

QString RecordingSystemCursors::shownFile(Shape shape) const
{
    std::lock_guard<std::mutex> lock(mutex);
    return shown.value(shape);
}

QPoint RecordingSystemCursors::shownHotSpot(Shape shape) const
{
    std::lock_guard<std::mutex> lock(mutex);
    return hotSpots.value(shape);
}

void RecordingSystemCursors::reset()
{
    std::lock_guard<std::mutex> lock(mutex);
    shown.clear();
    hotSpots.clear();
}

} // namespace platform
