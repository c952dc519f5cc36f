#include "engine/SystemCursorReplacement.h"

#include "platform/Platform.h"

#include <QSet>
#include <QtGlobal>
#include <mutex>

using Shape = platform::SystemCursors::Shape;

const std::array<const char *, 5> systemCursorFiles = {"RoundedArrowTip-Small.cur",
                                                       "ScrollMid2.cur", "ScrollUP2.cur",
                                                       "ScrollDOWN2.cur", "DragArrowTip-Small.cur"};

namespace {

// A broken file would otherwise be reported on every frame of a smile.
void reportOnce(const QString &fileName, const platform::SystemCursors::Failure &failure)
{
    static std::mutex mutex;
    static QSet<QString> reported;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (reported.contains(fileName))
            return;
        reported.insert(fileName);
    }
    qWarning("%s", qPrintable(QStringLiteral("LoadImage() failed with error %1: %2")
                                  .arg(failure.code)
                                  .arg(failure.text)));
}

void setAll(const char *fileName)
{
    for (CursorSlot &slot : cursorSlots())
        loadSystemCursor(slot, QString::fromLatin1(fileName));
}

} // namespace

std::array<CursorSlot, 4> &cursorSlots()
{
    static std::array<CursorSlot, 4> slots = {
        {{Shape::Arrow, {}}, {Shape::Cross, {}}, {Shape::Hand, {}}, {Shape::IBeam, {}}}};
    return slots;
}

void loadSystemCursor(CursorSlot &slot, const QString &fileName)
{
    platform::SystemCursors::Failure failure;
    if (platform::systemCursors().replace(slot.shape, fileName, &failure)) {
        slot.replaced = true;
        return;
    }
    if (failure.code != 0) // a refusal of the desktop has been logged by the layer
        reportOnce(fileName, failure);
}

void setPointingCursors()
{
    setAll(systemCursorFiles[0]);
}

void setScrollMidCursors()
{
    setAll(systemCursorFiles[1]);
}

void setScrollUpCursors()
{
    setAll(systemCursorFiles[2]);
}

void setScrollDownCursors()
{
    setAll(systemCursorFiles[3]);
}

void setDragCursors()
{
    setAll(systemCursorFiles[4]);
}

void restoreSystemCursors()
{
    // Called at every loop end, every switch to dwell and several times on quit: only what
    // was replaced goes back, so nothing reaches the desktop when nothing was.
    for (CursorSlot &slot : cursorSlots()) {
        if (slot.replaced.exchange(false))
            platform::systemCursors().restore(slot.shape);
    }
}
