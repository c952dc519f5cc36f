#include "engine/InputOwners.h"

#include "platform/Platform.h"

#include <array>
#include <cstddef>

namespace {

constexpr int kButtons = 2;
constexpr int kKeys = 6;
constexpr int kInputs = kButtons + kKeys;

// One bit per owner for each input.
std::array<unsigned, kInputs> owners{};

int slot(HeldInputId input)
{
    return input.isKey ? kButtons + int(input.key) : int(input.button);
}

HeldInputId inputAt(int i)
{
    return i < kButtons ? buttonInput(i == 1) : keyInput(platform::Key(i - kButtons));
}

unsigned bit(InputOwner owner)
{
    return 1u << unsigned(owner);
}

void send(HeldInputId input, bool down)
{
    platform::InputSynthesis &service = platform::inputSynthesis();
    if (input.isKey)
        down ? service.keyDown(input.key) : service.keyUp(input.key);
    else
        down ? service.buttonDown(input.button) : service.buttonUp(input.button);
}

} // namespace

void pressOwned(InputOwner owner, HeldInputId input)
{
    unsigned &mask = owners[std::size_t(slot(input))];
    if (mask == 0)
        send(input, true);
    mask |= bit(owner);
}

bool releaseOwned(InputOwner owner, HeldInputId input)
{
    unsigned &mask = owners[std::size_t(slot(input))];
    if (!(mask & bit(owner)))
        return false;
    mask &= ~bit(owner);
    if (mask == 0)
        send(input, false);
    return true;
}

bool releaseOwner(InputOwner owner)
{
    bool any = false;
    for (int i = 0; i < kInputs; ++i)
        any = releaseOwned(owner, inputAt(i)) || any;
    return any;
}

bool ownerHolds(InputOwner owner)
{
    for (unsigned mask : owners) {
        if (mask & bit(owner))
            return true;
    }
    return false;
}

bool ownerHolds(InputOwner owner, HeldInputId input)
{
    return (owners[std::size_t(slot(input))] & bit(owner)) != 0;
}

bool anyOwnerHolds(HeldInputId input)
{
    return owners[std::size_t(slot(input))] != 0;
}

bool anyOwnerHoldsAnything()
{
    for (unsigned mask : owners) {
        if (mask)
            return true;
    }
    return false;
}

std::vector<HeldInputId> ownedInputs()
{
    std::vector<HeldInputId> out;
    for (int i = 0; i < kInputs; ++i) {
        if (owners[std::size_t(i)])
            out.push_back(inputAt(i));
    }
    return out;
}

void forgetOwners()
{
    owners.fill(0);
}
