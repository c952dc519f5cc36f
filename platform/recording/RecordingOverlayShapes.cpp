#include "platform/recording/RecordingOverlayShapes.h"

#include "platform/recording/CallLog.h"

namespace platform {

void RecordingOverlayShapes::cutTo(quintptr, const QVector<QRect> &shown)
{
    recordingLog().add("shapes", "cutTo", QString::number(shown.size()));
}

void RecordingOverlayShapes::uncut(quintptr)
{
    recordingLog().add("shapes", "uncut");
}

} // namespace platform
