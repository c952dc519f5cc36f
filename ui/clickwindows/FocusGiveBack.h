#pragma once

#include <QtGlobal>

// A click window never keeps the focus: the window that had it when the pointer came in gets
// it back when the pointer leaves, so that typing goes on where the user clicked.
class FocusGiveBack
{
public:
    // Remembers the focused window, unless it is `own` (the click window itself).
    void pointerEntered(quintptr own);
    // Gives the focus back to the remembered window when another one has it now. The window
    // stays remembered: leaving again without entering gives it back again.
    void pointerLeft();

private:
    quintptr remembered = 0;
};
