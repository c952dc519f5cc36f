#include "platform/SystemCursors.h"

namespace platform {

QStringList SystemCursors::names(Shape shape)
{
    // The names X programs and toolkits load their cursors by, old and new spellings.
    switch (shape) {
    case Shape::Arrow:
        return {"left_ptr", "default", "arrow", "top_left_arrow"};
    case Shape::Cross:
        return {"crosshair", "cross", "tcross"};
    case Shape::Hand:
        return {"hand2",
                "pointer",
                "hand1",
                "hand",
                "pointing_hand",
                "e29285e634086352946a0e7090d73106",
                "9d800788f1b08800ae810202380a0822"};
    case Shape::IBeam:
        return {"xterm", "text", "ibeam"};
    }
    return {};
}

} // namespace platform
