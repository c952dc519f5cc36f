#pragma once

#include "platform/recording/RecordingOverlayWindows.h"

#include <chrono>
#include <functional>
#include <thread>

// Reading the recording overlay windows while the label's and the ring's threads draw them.
inline bool waitUntil(const std::function<bool()> &condition, int timeoutMs = 5000)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

inline platform::RecordingOverlayWindows &overlays()
{
    return platform::recordingOverlayWindows();
}

// The shown windows now, oldest first.
inline QVector<platform::RecordingOverlayWindows::Record> shownWindows()
{
    QVector<platform::RecordingOverlayWindows::Record> shown;
    for (const auto &r : overlays().openWindows()) {
        if (r.shown)
            shown.append(r);
    }
    return shown;
}
