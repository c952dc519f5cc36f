#pragma once

#include "platform/Autostart.h"

#include <mutex>

// An autostart entry in memory; calls are logged under "autostart".
namespace platform {

class RecordingAutostart : public Autostart
{
public:
    QString entryPath() override;
    bool isEnabled() override;
    bool enable(const QString &programPath) override;
    bool disable() override;

    // For tests: the state without logging.
    bool enabled() const;
    QString programPath() const;
    // An empty path means "the location cannot be determined".
    void setEntryPath(const QString &path);
    // When failing, enable() and disable() return false and change nothing.
    void setFailing(bool value);
    void reset();

    static QString defaultEntryPath();

private:
    mutable std::mutex mutex;
    QString path = defaultEntryPath();
    QString program;
    bool on = false;
    bool failing = false;
};

RecordingAutostart &recordingAutostart();

} // namespace platform
