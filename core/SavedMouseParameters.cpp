#include "core/SavedMouseParameters.h"

#include "platform/Platform.h"

#include <QApplication>
#include <QGuiApplication>
#include <QStyleHints>

void saveAndOverrideMouseParameters(SavedMouseParameters &saved)
{
    platform::MouseParameters &mouse = platform::mouseParameters();
    saved.doubleClickTime = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    saved.mouse = mouse.snapshot();
    saved.saved = true;
    mouse.setSpeed(10);
    mouse.setWheelLines(1);
}

void restoreMouseParameters(SavedMouseParameters &saved)
{
    if (!saved.saved)
        return;
    saved.saved = false;
    if (saved.mouse.valid)
        platform::mouseParameters().restore(saved.mouse);
    QApplication::setDoubleClickInterval(saved.doubleClickTime);
}
