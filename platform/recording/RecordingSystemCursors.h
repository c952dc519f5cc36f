#pragma once

#include "platform/SystemCursors.h"

#include <QMap>
#include <QPoint>
#include <mutex>

// System cursors in memory. The cursor file is read exactly as the X11 back end reads it, so
// a missing or broken file fails here too. Calls are logged under "cursors" as
// "replace(Arrow,RoundedArrowTip-Small.cur)" and "restore(Arrow)".
namespace platform {

class RecordingSystemCursors : public SystemCursors
{
public:
    bool replace(Shape shape, const QString &curFile, Failure *failure) override;
    bool restore(Shape shape) override;

    static QString nameOf(Shape shape);
    // For tests: the file a shape shows now (its file name without folder), empty when it
    // shows the user's cursor; and the hot spot of that image.
    QString shownFile(Shape shape) const;
    QPoint shownHotSpot(Shape shape) const;
    void reset();

private:
    mutable std::mutex mutex;
    QMap<Shape, QString> shown;
    QMap<Shape, QPoint> hotSpots;
};

RecordingSystemCursors &recordingSystemCursors();

} // namespace platform
