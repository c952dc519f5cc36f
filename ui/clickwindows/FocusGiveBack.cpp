#include "ui/clickwindows/FocusGiveBack.h"

#include "platform/Platform.h"
#include "platform/Process.h"

void FocusGiveBack::pointerEntered(quintptr own)
{
    const quintptr focused = platform::process().foregroundWindow();
    if (focused != own)
        remembered = focused;
}

void FocusGiveBack::pointerLeft()
{
    platform::Process &process = platform::process();
    // Asking for the focus it already has would only raise the window over others.
    if (remembered != 0 && process.foregroundWindow() != remembered)
        process.setForegroundWindow(remembered);
}
