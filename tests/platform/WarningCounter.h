#pragma once

#include <QString>
#include <QtGlobal>
#include <atomic>

// Counts the Qt warnings that contain a text while it lives (from any thread).
class WarningCounter
{
public:
    explicit WarningCounter(const QString &containing)
    {
        text() = containing;
        counter() = 0;
        previous = qInstallMessageHandler(&handle);
    }
    ~WarningCounter() { qInstallMessageHandler(previous); }
    WarningCounter(const WarningCounter &) = delete;
    WarningCounter &operator=(const WarningCounter &) = delete;

    int count() const { return counter(); }

private:
    static QString &text()
    {
        static QString t;
        return t;
    }
    static std::atomic<int> &counter()
    {
        static std::atomic<int> c{0};
        return c;
    }
    static void handle(QtMsgType type, const QMessageLogContext &, const QString &message)
    {
        if (type == QtWarningMsg && message.contains(text()))
            ++counter();
    }

    QtMessageHandler previous;
};
