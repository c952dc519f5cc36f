#include "platform/recording/RecordingOverlayWindow.h"

#include "platform/recording/CallLog.h"
#include "platform/recording/RecordingOverlayWindows.h"

#include <chrono>

namespace platform {

namespace {
using Record = RecordingOverlayWindows::Record;
}

RecordingOverlayWindow::RecordingOverlayWindow(int id)
    : windowId(id)
{}

RecordingOverlayWindow::~RecordingOverlayWindow()
{
    recordingOverlayWindows().change(windowId, [](Record &r) {
        r.open = false;
        r.shown = false;
        r.closed = true;
    });
    recordingLog().add(QStringLiteral("overlay"), QStringLiteral("close"),
                       QString::number(windowId));
}

bool RecordingOverlayWindow::open(double opacity)
{
    RecordingOverlayWindows &service = recordingOverlayWindows();
    recordingLog().add(QStringLiteral("overlay"), QStringLiteral("open"),
                       QString::number(windowId));
    service.waitWhileHeld();
    if (service.isFailing())
        return false;
    current.opacity = opacity;
    service.change(windowId, [this](Record &r) {
        r.open = true;
        r.opacity = current.opacity;
        r.scene = current;
    });
    return true;
}

QSize RecordingOverlayWindow::textExtent(const QString &text, const Font &)
{
    return recordingOverlayWindows().measure(text);
}

void RecordingOverlayWindow::setGeometry(const QRect &geometry)
{
    // Recorded with the next update, as the desktop shows it then.
    current.geometry = QRect(geometry.topLeft(), geometry.size().expandedTo(QSize(1, 1)));
}

void RecordingOverlayWindow::setRoundedShape(int corner)
{
    current.shape = Shape::RoundedRectangle;
    current.corner = corner;
}

void RecordingOverlayWindow::setRingShape(int inset)
{
    current.shape = Shape::Ring;
    current.inset = inset;
}

void RecordingOverlayWindow::setBackground(const QColor &color)
{
    current.background = color;
}

void RecordingOverlayWindow::setText(const Text &text)
{
    current.text = text;
}

void RecordingOverlayWindow::setArc(const Arc &arc)
{
    current.arc = arc;
}

OverlayWindow::Scene RecordingOverlayWindow::scene() const
{
    return current;
}

void RecordingOverlayWindow::show()
{
    recordingLog().add(QStringLiteral("overlay"), QStringLiteral("show"),
                       QString::number(windowId));
    recordingOverlayWindows().change(windowId, [](Record &r) { r.shown = true; });
    update();
}

void RecordingOverlayWindow::raise()
{
    recordingOverlayWindows().change(windowId, [](Record &r) { ++r.raises; });
}

void RecordingOverlayWindow::update()
{
    const Scene scene = current;
    const qint64 now = CallLog::nowMs();
    recordingOverlayWindows().change(windowId, [&scene, now](Record &r) {
        r.scene = scene;
        if (!r.shown)
            return;
        if (r.updates.size() >= 1000)
            r.updates.removeFirst();
        r.updates.append({now, scene});
    });
}

OverlayWindow::Wake RecordingOverlayWindow::waitForEvents(int timeoutMs)
{
    std::unique_lock<std::mutex> lock(wakeMutex);
    const auto isWoken = [this] { return woken; };
    if (timeoutMs < 0)
        wakeCondition.wait(lock, isWoken);
    else if (!wakeCondition.wait_for(lock, std::chrono::milliseconds(timeoutMs), isWoken))
        return Wake::Timeout;
    woken = false;
    return Wake::Woken;
}

void RecordingOverlayWindow::wake()
{
    {
        std::lock_guard<std::mutex> lock(wakeMutex);
        woken = true;
    }
    wakeCondition.notify_all();
}

} // namespace platform
