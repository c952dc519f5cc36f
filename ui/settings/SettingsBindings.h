#pragma once

#include <cstddef>

// Which widget of the settings form shows which setting, and how. The window stores the
// bindings in table order and loads them in the same order.
namespace SettingsBindings {

enum class Kind
{
    // A slider and its spin box, mirroring each other: the spin box is stored, the slider
    // loaded.
    SliderPair,
    // A check box that stores every widget when toggled.
    Toggle,
    // The switch of one global hotkey: its own handler stores it as 0 or 1.
    HotkeyToggle,
    // The checkable button of a details panel: its slot stores it and opens or closes the
    // panel.
    DetailsToggle,
    // Smile detection: switching it off while the smile clicks asks first.
    SmileToggle,
    // A radio button whose handler is connected by hand.
    Radio,
    // One of the eight absolute pointing methods: the eight are stored in one batch.
    AbsoluteMethod,
    // Absolute pointing: this radio checked, or its partner (relative pointing).
    PointingMode,
    // The click-window switch, stored as 0 or 1.
    ShowClickOptions,
    // A key-sequence edit, stored as portable text.
    KeySequence,
};

struct Binding
{
    Kind kind;
    const char *key;
    // The stored widget: the spin box of a pair.
    const char *widget;
    // The slider of a pair, the relative-pointing radio, the panel a details button opens;
    // otherwise nullptr.
    const char *partner;
};

const Binding *all();
std::size_t count();
// The absolute pointing methods among them, stored together.
constexpr std::size_t AbsoluteMethodCount = 8;

// A setting shown by a single widget of its own.
struct NamedWidget
{
    const char *key;
    const char *widget;
};

// The five gesture action choices, in load order; each stores the chosen index itself.
const NamedWidget *actionChoices();
constexpr std::size_t ActionChoiceCount = 5;

} // namespace SettingsBindings
