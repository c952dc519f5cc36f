#include "platform/x11/X11HeldInput.h"

#include <cstdlib>
#include <sstream>

namespace platform {

std::string X11HeldInput::encode() const
{
    std::ostringstream out;
    const char *gap = "";
    for (unsigned button : buttons) {
        out << gap << 'b' << button;
        gap = " ";
    }
    for (unsigned keycode : keycodes) {
        out << gap << 'k' << keycode;
        gap = " ";
    }
    for (const auto &bound : boundKeycodes) {
        out << gap << 'm' << bound.first << '=' << std::hex << bound.second << std::dec;
        gap = " ";
    }
    return out.str();
}

X11HeldInput X11HeldInput::decode(const std::string &text)
{
    X11HeldInput held;
    std::istringstream in(text);
    std::string token;
    while (in >> token) {
        if (token.size() < 2)
            continue;
        const char *number = token.c_str() + 1;
        char *end = nullptr;
        const unsigned long value = std::strtoul(number, &end, 10);
        if (end == number || value == 0 || value > 255)
            continue;
        if (token[0] == 'b' && *end == '\0') {
            held.buttons.push_back(unsigned(value));
        } else if (token[0] == 'k' && *end == '\0') {
            held.keycodes.push_back(unsigned(value));
        } else if (token[0] == 'm' && *end == '=') {
            const char *sym = end + 1;
            char *symEnd = nullptr;
            const unsigned long keysym = std::strtoul(sym, &symEnd, 16);
            if (symEnd != sym && *symEnd == '\0' && keysym != 0)
                held.boundKeycodes.emplace_back(unsigned(value), keysym);
        }
    }
    return held;
}

} // namespace platform
