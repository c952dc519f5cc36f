#include "engine/ActionDispatch.h"

#include "core/FacialDetectionApp.h"
#include "engine/ClickEngine.h"
#include "engine/EngineState.h"
#include "engine/InputOwners.h"
#include "engine/SyntheticInput.h"
#include "engine/TrackingParameters.h"
#include "platform/InputSynthesis.h"
#include "platform/Platform.h"
#include "platform/SoundPlayer.h"

#include <QColor>
#include <QFont>

#include <array>
#include <utility>

namespace {

// What each gesture's action did when it started, so that its end undoes exactly that,
// whatever the mapping and the click options are by then.
enum class PrimaryKind
{
    None,
    // A plain left press over the program's own windows.
    OwnWindow,
    // The selected button held down.
    Button,
    // The double click was made at the press.
    Double,
    // A step of the drag option: the drag holds the button, not the gesture.
    Drag,
    Scroll
};

struct OwnedAction
{
    bool open = false;
    ActionType type = 0;
    PrimaryKind kind = PrimaryKind::None;
};
std::array<OwnedAction, size_t(InputOwner::Count)> ownedActions;

OwnedAction &ownedAction(InputOwner owner)
{
    return ownedActions[size_t(owner)];
}

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

platform::Key keyOf(int key)
{
    static const platform::Key keys[] = {platform::Key::Space, platform::Key::Return,
                                         platform::Key::One,   platform::Key::F12,
                                         platform::Key::F13,   platform::Key::F14};
    return keys[key];
}

bool validKey(int key)
{
    return key >= 0 && key < 6;
}

// A click on an input some owner holds would let it go under that owner: it stays down.
void clickButton(bool right)
{
    if (!anyOwnerHolds(buttonInput(right)))
        right ? sendRightClick() : sendLeftClick();
}

void doubleClickButton(bool right)
{
    if (!anyOwnerHolds(buttonInput(right)))
        sendDoubleClick(right);
}

void keyPress(int key)
{
    static void (*const press[])() = {sendSpacePress, sendEnterPress, sendOnePress,
                                      sendF12Press,   sendF13Press,   sendF14Press};
    if (validKey(key) && !anyOwnerHolds(keyInput(keyOf(key))))
        press[key]();
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

bool clickingActive()
{
    return !app() || app()->clickingActive;
}

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
    return anyOwnerHolds(buttonInput(right));
}

bool engineHoldsAnyInput()
{
    return anyOwnerHoldsAnything();
}

void releaseHeldInput()
{
    for (int owner = 0; owner < int(InputOwner::Count); ++owner)
        releaseOwner(InputOwner(owner));
    // Whatever else the input service still holds goes too.
    platform::inputSynthesis().releaseAll();
    forgetOwners();
    clickOptionState.dragState = 0;
}

void dropDrag()
{
    releaseOwner(InputOwner::Drag);
    clickOptionState.dragState = 0;
}

void performAction(ActionType type, ActionPhase phase, InputOwner owner)
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
            clickButton(right);
            if (soundClick())
                playSound(SoundId::Click);
        } else if (phase == ActionPhases::Press) {
            pressOwned(owner, buttonInput(right));
            if (soundClick())
                playSound(SoundId::LmbPress);
        } else {
            releaseOwned(owner, buttonInput(right));
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
            pressOwned(owner, keyInput(keyOf(key)));
            if (soundClick())
                playSound(SoundId::BeepHi);
        } else {
            releaseOwned(owner, keyInput(keyOf(key)));
            if (soundClick())
                playSound(SoundId::BeepLo);
        }
        addClicks(1);
        return;
    }
    }
}

void gestureStart(ActionType type, int &started, int &ended, bool force, InputOwner owner)
{
    const TrackingParameters &p = trackingParameters;
    // An action still open from before ends first: one owner, one action at a time.
    if (ownedAction(owner).open)
        gestureEnd(owner);
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
            performAction(type, ActionPhases::Click, owner);
        started = 1;
        ended = 1;
        return;
    }
    if (type == 1) {
        primaryPress(true, owner);
    } else {
        performAction(type, ActionPhases::Press, owner);
        OwnedAction &a = ownedAction(owner);
        a.open = true;
        a.type = type;
        a.kind = PrimaryKind::None;
    }
    started = 1;
}

void gestureEnd(InputOwner owner)
{
    if (ownedAction(owner).open && ownedAction(owner).type == 1) {
        primaryRelease(owner); // reads and closes the record
        return;
    }
    const OwnedAction a = std::exchange(ownedAction(owner), OwnedAction{});
    if (a.open) {
        const ActionType type = a.type;
        if (type == 2 || (type >= 3 && type <= 8)) {
            if (type == 2)
                releaseOwned(owner, buttonInput(true));
            else
                releaseOwned(owner, keyInput(keyOf(type - 3)));
            if (soundClick())
                playSound(type == 2 ? SoundId::LmbRelease : SoundId::BeepLo);
            addClicks(1);
        } else if (type == 10) {
            unfreezePointer();
            if (soundClick())
                playSound(SoundId::Tock);
            addClicks(1);
            hideNotice();
        } else if (type != 0 && type != 9) {
            playSound(SoundId::BeepHi);
        }
    }
    // Whatever else the owner still holds goes with its end.
    releaseOwner(owner);
}

void primaryClick(bool extraCount)
{
    const int extra = extraCount ? 1 : 0;
    if (ownWindow()) {
        clickButton(false);
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
        doubleClickButton(right);
        if (soundClick())
            playSound(SoundId::DoubleClick);
        addClicks(extra);
        o.clickPerformed = 1;
    } else if (o.CLICK_OPTION_DRAG_MODE) {
        if (o.dragState == 0) {
            o.dragState = 1;
            pressOwned(InputOwner::Drag, buttonInput(right));
            if (soundDrag())
                playSound(SoundId::LmbPress);
            addClicks(extra);
        } else {
            // A click has no release of its own to wait for: the second click drops, with
            // either button, instant or forced.
            dropDrag();
            if (soundDrag())
                playSound(SoundId::LmbRelease);
            addClicks(extra);
            o.clickPerformed = 1;
        }
    } else if (o.CLICK_OPTION_SCROLL_MODE) {
        startScrollMode();
        addClicks(extra);
    } else {
        clickButton(right);
        if (soundClick())
            playSound(SoundId::Click);
        addClicks(right ? extra : 1 + extra);
        o.clickPerformed = 1;
    }
}

void primaryPress(bool extraCount, InputOwner owner)
{
    const int extra = extraCount ? 1 : 0;
    OwnedAction &a = ownedAction(owner);
    a.open = true;
    a.type = 1;
    a.kind = PrimaryKind::None;
    if (ownWindow()) {
        pressOwned(owner, buttonInput(false));
        a.kind = PrimaryKind::OwnWindow;
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
        a.kind = PrimaryKind::Double;
        doubleClickButton(right);
        if (soundClick())
            playSound(SoundId::DoubleClick);
        addClicks(extra);
    } else if (o.CLICK_OPTION_DRAG_MODE) {
        a.kind = PrimaryKind::Drag;
        if (o.dragState == 0) {
            o.dragState = 1;
            pressOwned(InputOwner::Drag, buttonInput(right));
            if (soundDrag())
                playSound(SoundId::LmbPress);
            addClicks(extra);
        } else if (o.dragState == 1) {
            o.dragState = -1;
            o.clickPerformed = 0;
        } else {
            // The pending release is made now: idle never leaves a button down.
            if (ownerHolds(InputOwner::Drag) && soundDrag())
                playSound(SoundId::LmbRelease);
            dropDrag();
            a.kind = PrimaryKind::None;
        }
    } else if (o.CLICK_OPTION_SCROLL_MODE) {
        a.kind = PrimaryKind::Scroll;
        startScrollMode();
    } else {
        a.kind = PrimaryKind::Button;
        pressOwned(owner, buttonInput(right));
        if (soundDrag())
            playSound(SoundId::LmbPress);
        addClicks(extra);
    }
}

void primaryRelease(InputOwner owner)
{
    const OwnedAction a = std::exchange(ownedAction(owner), OwnedAction{});
    ClickOptionState &o = clickOptionState;
    // The release undoes what the press did, whatever the options and the pointer are now.
    switch (a.kind) {
    case PrimaryKind::None:
    case PrimaryKind::Scroll:
        break;
    case PrimaryKind::OwnWindow:
    case PrimaryKind::Button:
        if (releaseOwner(owner) && soundDrag())
            playSound(SoundId::LmbRelease);
        if (a.kind == PrimaryKind::Button && clickingActive() && !ownWindow())
            o.clickPerformed = 1;
        break;
    case PrimaryKind::Double:
        if (clickingActive() && !ownWindow())
            o.clickPerformed = 1;
        break;
    case PrimaryKind::Drag:
        if (o.dragState == -1) {
            if (ownerHolds(InputOwner::Drag) && soundDrag())
                playSound(SoundId::LmbRelease);
            dropDrag();
            o.clickPerformed = 1;
        }
        break;
    }
    releaseOwner(owner);
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
            return;
        }
        const int button = selectedButton();
        // Paused or without a button nothing is picked up, and no release is armed.
        if (!clickingActive() || button == 0)
            return;
        pressOwned(InputOwner::Drag, buttonInput(button == 2));
        if (soundDrag())
            playSound(SoundId::LmbPress);
        o.dragState = -1;
    } else {
        // The second click drops the drag, also one a gesture's press picked up.
        if (!ownWindow()) {
            if (ownerHolds(InputOwner::Drag) && soundDrag())
                playSound(SoundId::LmbRelease);
            dropDrag();
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
    // As any gesture's click: paused clicking stops it.
    gestureStart(trackingParameters.FEMAP_INDEX_SMILE, started, ended, true, InputOwner::Smile);
}
