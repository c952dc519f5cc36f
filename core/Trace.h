#pragma once

#include <QString>
#include <QtGlobal>

// Writes one diagnostic trace line to standard output: the frame time, the message, the
// milliseconds since the previous frame, and a bar of dots that grows with that gap.
void traceLine(qint64 frameTimeMs, qint64 previousFrameTimeMs, const QString &message);

// The line traceLine writes, without the line end (tests).
QString formatTraceLine(qint64 frameTimeMs, qint64 previousFrameTimeMs, const QString &message);
