#include "engine/ActionDispatch.h"

#include "core/FacialDetectionApp.h"
#include "engine/ClickEngine.h"
#include "engine/EngineState.h"
#include "engine/SyntheticInput.h"
#include "engine/TrackingParameters.h"
#include "platform/InputSynthesis.h"
#include "platform/Platform.h"
#include "platform/SoundPlayer.h"

#include <QColor>
#include <QFont>

#include <array>

namespace {

enum KeyIndex
{
    SpaceKey,
    EnterKey,
    OneKey,
    F12Key,
    F13Key,
    F14Key,
    KeyCount
};

// What the engine pressed and has not let go; the release paths use it so that a change of
// the click options between press and release cannot leave a button down.
struct HeldByEngine
{
    bool left = false;
    bool right = false;
    std::array<bool, KeyCount> keys{};
};
HeldByEngine held;

FacialDetectionApp *app()
{
    return FacialDetectionApp::instance();
}

void addClicks(int n)
{
    if (n != 0 && app())
        app()->clickCounter += n;
}

bool soundClick()
{
    return trackingParameters.SOUND_CLICK;
}

bool soundDrag()
{
    return trackingParameters.SOUND_CLICKANDDRAG;
}

bool ownWindow()
{
    return app() && app()->isPointerOverOwnWindow();
}

bool clickingActive()
{
    return !app() || app()->clickingActive;
}

void buttonDown(bool right)
{
    sendButtonDown(right);
    (right ? held.right : held.left) = true;
}

void buttonUp(bool right)
{
    sendButtonUp(right);
    (right ? held.right : held.left) = false;
}

// Lets go of the primary button: the one the engine holds, else the selected one.
void releasePrimaryButton(bool selectedRight)
{
    if (held.left || held.right) {
        if (held.left)
            buttonUp(false);
        if (held.right)
            buttonUp(true);
        return;
    }
    buttonUp(selectedRight);
}

// The input wrappers of each key the actions send, in the order of the key numbers.
struct KeyFunctions
{
    void (*down)();
    void (*up)();
    void (*press)();
};
const KeyFunctions *keyFunctions(int key)
{
    static const KeyFunctions table[KeyCount] = {
        {sendSpaceDown, sendSpaceUp, sendSpacePress}, {sendEnterDown, sendEnterUp, sendEnterPress},
        {sendOneDown, sendOneUp, sendOnePress},       {sendF12Down, sendF12Up, sendF12Press},
        {sendF13Down, sendF13Up, sendF13Press},       {sendF14Down, sendF14Up, sendF14Press},
    };
    return key >= 0 && key < KeyCount ? &table[key] : nullptr;
}

void keyDown(int key)
{
    if (const KeyFunctions *f = keyFunctions(key)) {
        f->down();
        held.keys[size_t(key)] = true;
    }
}

void keyUp(int key)
{
    if (const KeyFunctions *f = keyFunctions(key)) {
        f->up();
        held.keys[size_t(key)] = false;
    }
}

void keyPress(int key)
{
    if (const KeyFunctions *f = keyFunctions(key))
        f->press();
}

bool isRelative()
{
    return !trackingParameters.ABSOLUTE_MODE;
}

void freezePointer()
{
    pointerEngineState.pointerFrozen = 1;
    if (isRelative()) {
        pointerEngineState.pointingBeforeFreeze = smileModeState.pointingActive;
        smileModeState.pointingActive = 0;
    }
    int x = 0, y = 0;
    getCursorPosScaled(x, y);
    if (app()) {
        emit app()->ttwSetAttributes(QStringLiteral("Pointer Frozen"), QColor(Qt::white),
                                     QFont(QStringLiteral("Arial"), 15), QColor(Qt::black), 127, x,
                                     y + 120);
        emit app()->ttwShowText();
    }
}

void unfreezePointer()
{
    if (!pointerEngineState.pointerFrozen)
        return;
    if (isRelative())
        smileModeState.pointingActive = pointerEngineState.pointingBeforeFreeze != 0 ? 1 : 0;
    pointerEngineState.pointerFrozen = 0;
}

void hideNotice()
{
    if (app())
        emit app()->ttwHideText();
}

// The selected button: 0 none, 1 left, 2 right.
int selectedButton()
{
    if (pointerSettings.CLICK_OPTION_LEFT_CLICK)
        return 1;
    if (clickOptionState.CLICK_OPTION_RIGHT_CLICK)
        return 2;
    return 0;
}

} // namespace

void playSound(SoundId id)
{
    if (app())
        app()->sound(id).play();
}

void playSoundFile(SoundId id)
{
    platform::soundPlayer().playFile(QString::fromLatin1(soundFileName(id)));
}

bool engineHoldsButton(bool right)
{
    return right ? held.right : held.left;
}

bool engineHoldsAnyInput()
{
    if (held.left || held.right)
        return true;
    for (bool key : held.keys) {
        if (key)
            return true;
    }
    return false;
}

void releaseHeldInput()
{
    if (held.left)
        buttonUp(false);
    if (held.right)
        buttonUp(true);
    for (int key = 0; key < KeyCount; ++key) {
        if (held.keys[size_t(key)])
            keyUp(key);
    }
    // Whatever else the input service still holds goes too.
    platform::inputSynthesis().releaseAll();
    clickOptionState.dragState = 0;
}

void performAction(ActionType type, ActionPhase phase)
{
    if (phase < ActionPhases::Click || phase > ActionPhases::Release)
        return;
    if (type == 0)
        return;
    if (type < 0 || type > 10) {
        playSound(SoundId::BeepHi);
        return;
    }
    switch (type) {
    case 1:
    case 2: {
        const bool right = type == 2;
        if (phase == ActionPhases::Click) {
            right ? sendRightClick() : sendLeftClick();
            if (soundClick())
                playSound(SoundId::Click);
        } else if (phase == ActionPhases::Press) {
            buttonDown(right);
            if (soundClick())
                playSound(SoundId::LmbPress);
        } else {
            buttonUp(right);
            if (soundClick())
                playSound(SoundId::LmbRelease);
        }
        addClicks(1);
        return;
    }
    case 9:
        if (phase != ActionPhases::Release)
            recenterWithSound();
        return;
    case 10:
        if (phase == ActionPhases::Press)
            freezePointer();
        else if (phase == ActionPhases::Release)
            unfreezePointer();
        if (soundClick())
            playSound(phase == ActionPhases::Release ? SoundId::Tock : SoundId::Tick);
        if (phase == ActionPhases::Release)
            hideNotice();
        addClicks(1);
        return;
    default: {
        const int key = type - 3;
        if (phase == ActionPhases::Click) {
            keyPress(key);
            if (soundClick())
                playSound(SoundId::Beep);
        } else if (phase == ActionPhases::Press) {
            keyDown(key);
            if (soundClick())
                playSound(SoundId::BeepHi);
        } else {
            keyUp(key);
            if (soundClick())
                playSound(SoundId::BeepLo);
        }
        addClicks(1);
        return;
    }
    }
}

void gestureStart(ActionType type, int &started, int &ended, bool force)
{
    const TrackingParameters &p = trackingParameters;
    // Paused clicking stops every gesture's buttons and keys, not only the primary button
    // (which has its own rule for the click windows). The action counts as done, so the
    // gesture moves on and nothing is left to release.
    if (type >= 2 && type <= 8 && !clickingActive()) {
        started = 1;
        ended = 1;
        return;
    }
    const bool instant = p.INSTANT_CLICK && (p.MODE_FULL_FUNCTION || p.MODE_SWITCH_ONLY);
    if (force || instant) {
        if (type == 1)
            primaryClick(true);
        else
            performAction(type, ActionPhases::Click);
        started = 1;
        ended = 1;
        return;
    }
    if (type == 1)
        primaryPress(true);
    else
        performAction(type, ActionPhases::Press);
    started = 1;
}

void gestureEnd(ActionType type)
{
    if (type == 0 || type == 9)
        return;
    if (type == 1) {
        primaryRelease();
        return;
    }
    if (type == 2) {
        buttonUp(true);
        if (soundClick())
            playSound(SoundId::LmbRelease);
        addClicks(1);
        return;
    }
    if (type >= 3 && type <= 8) {
        keyUp(type - 3);
        if (soundClick())
            playSound(SoundId::BeepLo);
        addClicks(1);
        return;
    }
    if (type == 10) {
        unfreezePointer();
        if (soundClick())
            playSound(SoundId::Tock);
        addClicks(1);
        hideNotice();
        return;
    }
    playSound(SoundId::BeepHi);
}

void primaryClick(bool extraCount)
{
    const int extra = extraCount ? 1 : 0;
    if (ownWindow()) {
        sendLeftClick();
        if (soundClick())
            playSound(SoundId::Click);
        addClicks(1 + extra);
        return;
    }
    const int button = selectedButton();
    if (!clickingActive() || button == 0)
        return;
    const bool right = button == 2;
    ClickOptionState &o = clickOptionState;
    if (o.CLICK_OPTION_TIMES2_MODE) {
        sendDoubleClick(right);
        if (soundClick())
            playSound(SoundId::DoubleClick);
        addClicks(extra);
        o.clickPerformed = 1;
    } else if (o.CLICK_OPTION_DRAG_MODE) {
        if (o.dragState == 0) {
            o.dragState = 1;
            buttonDown(right);
            if (soundDrag())
                playSound(SoundId::LmbPress);
            addClicks(extra);
        } else if (o.dragState == 1) {
            if (!right && trackingParameters.INSTANT_CLICK) {
                releasePrimaryButton(false);
                if (soundDrag())
                    playSound(SoundId::LmbRelease);
                addClicks(extra);
                o.dragState = 0;
                o.clickPerformed = 1;
            } else {
                o.dragState = -1;
            }
        }
    } else if (o.CLICK_OPTION_SCROLL_MODE) {
        startScrollMode();
        addClicks(extra);
    } else if (!right) {
        sendLeftClick();
        if (soundClick())
            playSound(SoundId::Click);
        addClicks(1 + extra);
        o.clickPerformed = 1;
    } else {
        sendRightClick();
        if (soundClick())
            playSound(SoundId::Click);
        addClicks(extra);
        o.clickPerformed = 1;
    }
}

void primaryPress(bool extraCount)
{
    const int extra = extraCount ? 1 : 0;
    if (ownWindow()) {
        buttonDown(false);
        if (soundDrag())
            playSound(SoundId::LmbPress);
        addClicks(extra);
        return;
    }
    const int button = selectedButton();
    if (!clickingActive() || button == 0)
        return;
    const bool right = button == 2;
    ClickOptionState &o = clickOptionState;
    if (o.CLICK_OPTION_TIMES2_MODE) {
        sendDoubleClick(right);
        if (soundClick())
            playSound(SoundId::DoubleClick);
        addClicks(extra);
    } else if (o.CLICK_OPTION_DRAG_MODE) {
        if (o.dragState == 0) {
            o.dragState = 1;
            buttonDown(right);
            if (soundDrag())
                playSound(SoundId::LmbPress);
            addClicks(extra);
        } else if (o.dragState == 1) {
            o.dragState = -1;
            o.clickPerformed = 0;
        } else {
            // The pending release is made now: idle never leaves a button down.
            if (held.left || held.right) {
                releasePrimaryButton(right);
                if (soundDrag())
                    playSound(SoundId::LmbRelease);
            }
            o.dragState = 0;
        }
    } else if (o.CLICK_OPTION_SCROLL_MODE) {
        startScrollMode();
    } else {
        buttonDown(right);
        if (soundDrag())
            playSound(SoundId::LmbPress);
        addClicks(extra);
    }
}

void primaryRelease()
{
    if (ownWindow()) {
        releasePrimaryButton(false);
        if (soundDrag())
            playSound(SoundId::LmbRelease);
        return;
    }
    const int button = selectedButton();
    ClickOptionState &o = clickOptionState;
    if (!clickingActive() || button == 0) {
        // Pausing clicking or deselecting the button never strands a pressed button.
        if (held.left || held.right) {
            releasePrimaryButton(false);
            o.dragState = 0;
        }
        return;
    }
    const bool right = button == 2;
    if (o.CLICK_OPTION_TIMES2_MODE) {
        o.clickPerformed = 1;
    } else if (o.CLICK_OPTION_DRAG_MODE) {
        if (o.dragState == -1) {
            releasePrimaryButton(right);
            if (soundDrag())
                playSound(SoundId::LmbRelease);
            o.dragState = 0;
            o.clickPerformed = 1;
        }
    } else if (o.CLICK_OPTION_SCROLL_MODE) {
        // Scrolling ends by itself.
    } else {
        releasePrimaryButton(right);
        if (soundDrag())
            playSound(SoundId::LmbRelease);
        o.clickPerformed = 1;
    }
}

void dragStep()
{
    ClickOptionState &o = clickOptionState;
    if (!o.CLICK_OPTION_DRAG_MODE) {
        primaryClick(false);
        return;
    }
    if (o.dragState == 0) {
        if (ownWindow()) {
            primaryClick(false);
        } else {
            primaryPress(false);
            // A press that put nothing down (paused, no button) arms no release.
            if (o.dragState == 1)
                o.dragState = -1;
        }
    } else if (o.dragState == -1) {
        if (!ownWindow()) {
            primaryRelease();
            o.dragState = 0;
            o.clickPerformed = 1;
        }
    }
}

void dispatchSmileClick(ActionType type, int &started, int &ended)
{
    if (clickOptionState.CLICK_OPTION_DRAG_MODE && (type == 1 || type == 2)) {
        dragStep();
        return;
    }
    const int mapped = trackingParameters.FEMAP_INDEX_SMILE;
    if (mapped == 1)
        primaryClick(true);
    else
        performAction(mapped, ActionPhases::Click);
    started = 1;
    ended = 1;
}
