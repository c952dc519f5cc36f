#include "core/Trace.h"

#include <cstdio>

QString formatTraceLine(qint64 frameTimeMs, qint64 previousFrameTimeMs, const QString &message)
{
    const qint64 gap = frameTimeMs - previousFrameTimeMs;
    const int dots = gap < 0 ? 0 : int(qMin<qint64>(gap / 100, 100) + 1);
    return QString::number(frameTimeMs) + "," + message + ", (" + QString::number(gap) + "),  [" +
           QString(dots, '.') + "]";
}

void traceLine(qint64 frameTimeMs, qint64 previousFrameTimeMs, const QString &message)
{
    const QByteArray line =
        formatTraceLine(frameTimeMs, previousFrameTimeMs, message).toLocal8Bit() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}
