#include "platform/recording/RecordingOverlayWindows.h"

#include "platform/recording/RecordingOverlayWindow.h"

namespace platform {

namespace {

using Record = RecordingOverlayWindows::Record;

// A copy that shares no data with the kept record, made under the lock. Qt's containers share
// their data until written, and a writer that finds the share count back at one writes in
// place, with nothing ordering that write after the reads of a copy just let go elsewhere.
Record unshared(const Record &kept)
{
    Record copy = kept;
    copy.updates = QVector<RecordingOverlayWindows::Update>(kept.updates.cbegin(),
                                                            kept.updates.cend());
    return copy;
}

} // namespace

std::unique_ptr<OverlayWindow> RecordingOverlayWindows::create()
{
    std::lock_guard<std::mutex> lock(mutex);
    Record record;
    record.id = nextId++;
    all.append(record);
    return std::make_unique<RecordingOverlayWindow>(record.id);
}

QVector<RecordingOverlayWindows::Record> RecordingOverlayWindows::records() const
{
    std::lock_guard<std::mutex> lock(mutex);
    QVector<Record> copy;
    copy.reserve(all.size());
    for (const Record &r : all)
        copy.append(unshared(r));
    return copy;
}

QVector<RecordingOverlayWindows::Record> RecordingOverlayWindows::openWindows() const
{
    QVector<Record> result;
    for (const Record &r : records()) {
        if (r.open)
            result.append(r);
    }
    return result;
}

RecordingOverlayWindows::Record RecordingOverlayWindows::last() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return all.isEmpty() ? Record() : unshared(all.last());
}

void RecordingOverlayWindows::setTextMetrics(int width, int height)
{
    std::lock_guard<std::mutex> lock(mutex);
    charWidth = width;
    lineHeight = height;
}

void RecordingOverlayWindows::setFailing(bool value)
{
    std::lock_guard<std::mutex> lock(mutex);
    failing = value;
}

void RecordingOverlayWindows::setHoldOpen(bool hold)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        holdOpen = hold;
    }
    released.notify_all();
}

void RecordingOverlayWindows::waitWhileHeld()
{
    std::unique_lock<std::mutex> lock(mutex);
    released.wait(lock, [this] { return !holdOpen; });
}

void RecordingOverlayWindows::reset()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        all.clear();
        charWidth = 10;
        lineHeight = 26;
        failing = false;
        holdOpen = false;
    }
    released.notify_all();
}

void RecordingOverlayWindows::change(int id, const std::function<void(Record &)> &edit)
{
    std::lock_guard<std::mutex> lock(mutex);
    for (Record &r : all) {
        if (r.id == id) {
            edit(r);
            return;
        }
    }
}

QSize RecordingOverlayWindows::measure(const QString &text) const
{
    std::lock_guard<std::mutex> lock(mutex);
    return QSize(charWidth * int(text.size()), lineHeight);
}

bool RecordingOverlayWindows::isFailing() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return failing;
}

} // namespace platform
