#pragma once

#include "platform/OverlayWindow.h"
#include "platform/OverlayWindows.h"

#include <QVector>
#include <condition_variable>
#include <functional>
#include <mutex>

// Overlay windows in memory, for tests: every window made since the last reset, with its
// scene, whether it is open and shown, and the scene of each update. Calls are logged under
// "overlay" as "open(<id>)", "show(<id>)", "close(<id>)".
namespace platform {

class RecordingOverlayWindows : public OverlayWindows
{
public:
    struct Update
    {
        qint64 timeMs; // CallLog::nowMs()
        OverlayWindow::Scene scene;
    };
    struct Record
    {
        int id = 0;
        bool open = false;   // opened and not yet destroyed
        bool closed = false; // destroyed
        bool shown = false;
        int raises = 0;
        double opacity = 1.0;
        OverlayWindow::Scene scene;
        QVector<Update> updates; // the last 1000
    };

    std::unique_ptr<OverlayWindow> create() override;

    // For tests.
    QVector<Record> records() const; // every window since the last reset, oldest first
    QVector<Record> openWindows() const;
    Record last() const; // the newest window; id 0 when none
    // Text measures charWidth pixels per character and lineHeight high (10 and 26 at first).
    void setTextMetrics(int charWidth, int lineHeight);
    // When failing, open() fails as when the desktop refuses the window.
    void setFailing(bool failing);
    // While held, open() does not return: a desktop that does not answer.
    void setHoldOpen(bool hold);
    void reset();

    // For the recording windows.
    void change(int id, const std::function<void(Record &)> &edit);
    QSize measure(const QString &text) const;
    bool isFailing() const;
    void waitWhileHeld();

private:
    mutable std::mutex mutex;
    QVector<Record> all;
    int nextId = 1;
    int charWidth = 10;
    int lineHeight = 26;
    bool failing = false;
    bool holdOpen = false;
    std::condition_variable released;
};

RecordingOverlayWindows &recordingOverlayWindows();

} // namespace platform
