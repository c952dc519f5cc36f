#include "core/DebugLog.h"

#include <QFile>

#include <atomic>

namespace {
std::atomic<std::FILE *> debugLogFile{nullptr};
}

void openDebugLog(const QString &path)
{
    closeDebugLog();
    debugLogFile.store(std::fopen(QFile::encodeName(path).constData(), "w"));
}

void closeDebugLog()
{
    if (std::FILE *file = debugLogFile.exchange(nullptr))
        std::fclose(file);
}

bool isDebugLogOpen()
{
    return debugLogFile.load() != nullptr;
}
