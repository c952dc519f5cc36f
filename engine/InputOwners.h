#pragma once

#include "platform/InputSynthesis.h"

#include <vector>

// Who holds each button and key the engine has put down. Every press has an owner, noted as
// it is pressed; an input goes up when its last owner lets go, so an owner's end releases
// what it pressed and nothing another owner still holds, whatever the settings say by then.
// Backed by the input service's own record (platform::InputSynthesis::isHeld). Worker thread.

enum class InputOwner
{
    Smile,
    SlowBlink,
    MouthOpen,
    EyebrowRaise,
    // The drag of the drag click option (by gestures or by dwelling): held between gestures.
    Drag,
    // A call that belongs to no gesture (a press made directly).
    Direct,
    Count
};

// One button or key.
struct HeldInputId
{
    bool isKey = false;
    platform::MouseButton button = platform::MouseButton::Left;
    platform::Key key = platform::Key::Space;
};

// Puts the input down for the owner; the desktop sees a press only when nobody held it.
void pressOwned(InputOwner owner, HeldInputId input);
// The owner lets go; the desktop sees the release when no other owner holds the input.
// False when the owner did not hold it.
bool releaseOwned(InputOwner owner, HeldInputId input);
// Lets go of everything the owner holds; true when it held anything.
bool releaseOwner(InputOwner owner);
bool ownerHolds(InputOwner owner);
bool ownerHolds(InputOwner owner, HeldInputId input);
// Any owner holds the input (a click on it would let it go under its owner).
bool anyOwnerHolds(HeldInputId input);
bool anyOwnerHoldsAnything();
// Every input some owner holds, buttons first.
std::vector<HeldInputId> ownedInputs();
// Forgets every owner without sending anything (after the input service let everything go).
void forgetOwners();

inline HeldInputId buttonInput(bool right)
{
    HeldInputId id;
    id.button = right ? platform::MouseButton::Right : platform::MouseButton::Left;
    return id;
}

inline HeldInputId keyInput(platform::Key key)
{
    HeldInputId id;
    id.isKey = true;
    id.key = key;
    return id;
}
