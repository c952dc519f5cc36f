#include "platform/recording/RecordingProcess.h"

#include "platform/recording/CallLog.h"

namespace platform {

bool RecordingProcess::raisePriority()
{
    recordingLog().add(QStringLiteral("process"), QStringLiteral("raisePriority"));
    if (failing)
        return false;
    raised = true;
    return true;
}

void RecordingProcess::reset()
{
    raised = false;
    failing = false;
}

} // namespace platform
