#pragma once

#include <QDir>
#include <QString>

// The program folder the build writes the generated files into.
inline QString binPath(const QString &fileName)
{
    const QString dir = qEnvironmentVariable("TOVRA_BIN_DIR", QDir::currentPath());
    return QDir(dir).filePath(fileName);
}
