#pragma once

#include <string>
#include <utility>
#include <vector>

// What the program holds on the X server through XTEST, in the server's own terms: the
// buttons and keycodes it holds down, and the spare keycodes it bound to a keysym for a key.
// The input back end tells it as text at each change; the guardian, which reads the text,
// lets go of exactly this after a crash and of nothing another program holds or bound.
namespace platform {

struct X11HeldInput
{
    std::vector<unsigned> buttons;
    std::vector<unsigned> keycodes;
    std::vector<std::pair<unsigned, unsigned long>> boundKeycodes; // keycode, keysym

    bool operator==(const X11HeldInput &other) const
    {
        return buttons == other.buttons && keycodes == other.keycodes &&
               boundKeycodes == other.boundKeycodes;
    }

    // One line without a line end: "b1 k65 m255=ffc9" (button 1 and keycode 65 held down,
    // keycode 255 bound to the keysym 0xffc9); empty when nothing is held or bound.
    std::string encode() const;
    // The reverse; a token it does not know is skipped.
    static X11HeldInput decode(const std::string &text);
};

} // namespace platform
