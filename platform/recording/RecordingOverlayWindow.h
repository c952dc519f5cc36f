#pragma once

#include "platform/OverlayWindow.h"

#include <condition_variable>
#include <mutex>

// An overlay window in memory: its scene and every update are kept by the recording service
// (RecordingOverlayWindows), which tests read. Text is measured as a fixed width per
// character and a fixed line height, set by the service.
namespace platform {

class RecordingOverlayWindow : public OverlayWindow
{
public:
    explicit RecordingOverlayWindow(int id);
    ~RecordingOverlayWindow() override;

    bool open(double opacity) override;
    QSize textExtent(const QString &text, const Font &font) override;
    void setGeometry(const QRect &geometry) override;
    void setRoundedShape(int corner) override;
    void setRingShape(int inset) override;
    void setBackground(const QColor &color) override;
    void setText(const Text &text) override;
    void setArc(const Arc &arc) override;
    Scene scene() const override;
    void show() override;
    void raise() override;
    void update() override;
    Wake waitForEvents(int timeoutMs) override;
    void wake() override;

    int id() const { return windowId; }

private:
    const int windowId;
    Scene current;
    std::mutex wakeMutex;
    std::condition_variable wakeCondition;
    bool woken = false;
};

} // namespace platform
