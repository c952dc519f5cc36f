#pragma once

#include <QStringList>
#include <QtGlobal>

#include <functional>

// Collects what the hotkey classes write to their log while it exists.
class HotkeyWarnings
{
public:
    HotkeyWarnings();
    ~HotkeyWarnings();

    QStringList messages() const;
    bool contains(const QString &text) const;

private:
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &text);

    QtMessageHandler previous = nullptr;
};

// Runs the event loop in small steps until the condition holds or the time is up.
bool waitUntil(const std::function<bool()> &condition, int timeoutMs = 5000);
