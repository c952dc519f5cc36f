#include "tests/hotkeys/HotkeyWarnings.h"

#include <QDeadlineTimer>
#include <QMutex>
#include <QTest>

namespace {
QMutex mutex;
QStringList collected;
} // namespace

HotkeyWarnings::HotkeyWarnings()
{
    QMutexLocker lock(&mutex);
    collected.clear();
    previous = qInstallMessageHandler(&HotkeyWarnings::handler);
}

HotkeyWarnings::~HotkeyWarnings()
{
    qInstallMessageHandler(previous);
}

QStringList HotkeyWarnings::messages() const
{
    QMutexLocker lock(&mutex);
    return collected;
}

bool HotkeyWarnings::contains(const QString &text) const
{
    const QStringList all = messages();
    for (const QString &message : all) {
        if (message.contains(text))
            return true;
    }
    return false;
}

void HotkeyWarnings::handler(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtWarningMsg && qstrcmp(context.category, "QHotkey") == 0) {
        QMutexLocker lock(&mutex);
        collected.append(text);
    }
}

bool waitUntil(const std::function<bool()> &condition, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(10);
    }
    return true;
}
