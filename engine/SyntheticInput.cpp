#include "engine/SyntheticInput.h"

#include "core/FrameTiming.h"
#include "platform/InputSynthesis.h"
#include "platform/Platform.h"
#include "platform/PointerScreens.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

using platform::Key;
using platform::MouseButton;

namespace {

constexpr int KeyPressHoldMs = 12;
constexpr int DoubleClickGapMs = 25;
std::atomic<bool> pausesSkipped{false};

MouseButton buttonOf(bool right)
{
    return right ? MouseButton::Right : MouseButton::Left;
}

void keyPress(Key key)
{
    platform::InputSynthesis &input = platform::inputSynthesis();
    if (!input.keyDown(key))
        return; // nothing is down, so nothing to release
    inputPause(KeyPressHoldMs);
    input.keyUp(key);
}

void click(bool right)
{
    platform::InputSynthesis &input = platform::inputSynthesis();
    if (input.buttonDown(buttonOf(right)))
        input.buttonUp(buttonOf(right));
}

} // namespace

void inputPause(int ms)
{
    if (!pausesSkipped)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void workerRest(int ms)
{
    inputPause(ms);
}

void processQueuedCalls()
{
    if (!pausesSkipped)
        QCoreApplication::processEvents();
}

void setFastReplay(bool fast)
{
    pausesSkipped = fast;
}

void syncDevicePixelRatio()
{
    if (QGuiApplication::instance()) {
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            platform::pointerScreens().setDevicePixelRatio(screen->devicePixelRatio());
    }
}

bool getCursorPosScaled(int &x, int &y)
{
    QPoint logical;
    if (!platform::pointerScreens().logicalPointerPosition(&logical))
        return false;
    x = logical.x();
    y = logical.y();
    return true;
}

void movePointerRelative(int dx, int dy)
{
    platform::inputSynthesis().moveRelative(dx, dy);
    FrameTiming::pointerMoved();
}

void movePointerAbsolute(int x, int y)
{
    platform::PointerScreens &screens = platform::pointerScreens();
    if (screens.primaryScreen().isEmpty()) {
        std::fputs("Error 1402!\n", stderr);
        return;
    }
    const QPoint physical = screens.toPhysical(QPoint(x, y));
    platform::inputSynthesis().moveAbsolute(physical.x(), physical.y());
    FrameTiming::pointerMoved();
}

void sendLeftClick()
{
    click(false);
}

void sendRightClick()
{
    click(true);
}

void sendDoubleClick(bool right)
{
    click(right);
    inputPause(DoubleClickGapMs);
    click(right);
}

void sendWheel(int delta)
{
    if (delta != 0)
        platform::inputSynthesis().wheel(delta);
}

void sendEnterPress()
{
    keyPress(Key::Return);
}

void sendSpacePress()
{
    keyPress(Key::Space);
}

void sendOnePress()
{
    keyPress(Key::One);
}

void sendF12Press()
{
    keyPress(Key::F12);
}

void sendF13Press()
{
    keyPress(Key::F13);
}

void sendF14Press()
{
    keyPress(Key::F14);
}
