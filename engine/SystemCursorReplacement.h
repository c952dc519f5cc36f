#pragma once

#include "platform/SystemCursors.h"

#include <QString>
#include <array>
#include <atomic>

// While a smile hold stage or scroll mode is active the program shows its own pointer shapes
// on the whole desktop, from cursor files beside it, and puts the user's cursors back after.
// Any thread may call (the worker and the GUI thread both do).

// One replaced desktop cursor.
struct CursorSlot
{
    platform::SystemCursors::Shape shape;
    std::atomic<bool> replaced{false};
};

// The four cursors replaced, in the order they are loaded and restored: the arrow, the
// cross, the hand and the text beam.
std::array<CursorSlot, 4> &cursorSlots();

// The cursor files, opened by relative name from the program folder.
extern const std::array<const char *, 5> systemCursorFiles;

// Replaces one desktop cursor with a cursor file. A file that cannot be used is reported once
// per file while the program runs, and the cursor stays as it was.
void loadSystemCursor(CursorSlot &slot, const QString &fileName);

void setPointingCursors();   // "RoundedArrowTip-Small.cur"
void setScrollMidCursors();  // "ScrollMid2.cur"
void setScrollUpCursors();   // "ScrollUP2.cur"
void setScrollDownCursors(); // "ScrollDOWN2.cur"
void setDragCursors();       // "DragArrowTip-Small.cur"
// Puts back the user's cursors that were replaced; does nothing when none were.
void restoreSystemCursors();
