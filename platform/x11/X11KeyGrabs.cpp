#include "platform/x11/X11KeyGrabs.h"

#include <QHash>
#include <QVector>
#include <QX11Info>

#include <X11/XF86keysym.h>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace platform {

namespace {

// Qt's own connection, and only when Qt runs on xcb: another platform can hold a display
// whose events nobody reads, and a grab there would never fire.
xcb_connection_t *qtConnection()
{
    return QX11Info::isPlatformX11() ? QX11Info::connection() : nullptr;
}

Display *qtDisplay()
{
    return QX11Info::isPlatformX11() ? QX11Info::display() : nullptr;
}

template<typename T> using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

template<typename T> XcbReply<T> takeReply(T *reply)
{
    return XcbReply<T>(reply, &std::free);
}

// The modifiers a combination is made of; lock states and mouse buttons are not part of it.
constexpr quint16 combinationMask =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

// Keys beyond the character range. F1 to F24 are computed.
const QHash<int, quint32> &specialKeysyms()
{
    static const QHash<int, quint32> table = {
        {Qt::Key_Escape, XK_Escape},
        {Qt::Key_Tab, XK_Tab},
        {Qt::Key_Backtab, XK_Tab},
        {Qt::Key_Backspace, XK_BackSpace},
        {Qt::Key_Return, XK_Return},
        {Qt::Key_Enter, XK_KP_Enter},
        {Qt::Key_Insert, XK_Insert},
        {Qt::Key_Delete, XK_Delete},
        {Qt::Key_Pause, XK_Pause},
        {Qt::Key_Print, XK_Print},
        {Qt::Key_Clear, XK_Clear},
        {Qt::Key_Home, XK_Home},
        {Qt::Key_End, XK_End},
        {Qt::Key_Left, XK_Left},
        {Qt::Key_Up, XK_Up},
        {Qt::Key_Right, XK_Right},
        {Qt::Key_Down, XK_Down},
        {Qt::Key_PageUp, XK_Prior},
        {Qt::Key_PageDown, XK_Next},
        {Qt::Key_CapsLock, XK_Caps_Lock},
        {Qt::Key_NumLock, XK_Num_Lock},
        {Qt::Key_ScrollLock, XK_Scroll_Lock},
        {Qt::Key_Menu, XK_Menu},
        {Qt::Key_Help, XK_Help},
        {Qt::Key_Forward, XF86XK_Forward},
        {Qt::Key_Stop, XF86XK_Stop},
        {Qt::Key_Refresh, XF86XK_Refresh},
        {Qt::Key_VolumeDown, XF86XK_AudioLowerVolume},
        {Qt::Key_VolumeMute, XF86XK_AudioMute},
        {Qt::Key_VolumeUp, XF86XK_AudioRaiseVolume},
        {Qt::Key_MediaPlay, XF86XK_AudioPlay},
        {Qt::Key_MediaStop, XF86XK_AudioStop},
        {Qt::Key_MediaPrevious, XF86XK_AudioPrev},
        {Qt::Key_MediaNext, XF86XK_AudioNext},
        {Qt::Key_HomePage, XF86XK_HomePage},
        {Qt::Key_Favorites, XF86XK_Favorites},
        {Qt::Key_Search, XF86XK_Search},
        {Qt::Key_LaunchMail, XF86XK_Mail},
        {Qt::Key_LaunchMedia, XF86XK_AudioMedia},
        {Qt::Key_Launch0, XF86XK_MyComputer},
        {Qt::Key_Launch1, XF86XK_Calculator},
        {Qt::Key_Touroku, XK_Touroku},
        {Qt::Key_Massyo, XK_Massyo},
        {Qt::Key_Mode_switch, XK_Mode_switch},
        {Qt::Key_Select, XK_Select},
        {Qt::Key_Cancel, XK_Cancel},
        {Qt::Key_Printer, XK_Print},
        {Qt::Key_Execute, XK_Execute},
        {Qt::Key_Sleep, XF86XK_Sleep},
    };
    return table;
}

// The keysym a Qt key stands for, or NoSymbol.
quint32 keysymOf(Qt::Key key)
{
    if (key <= 0xFFFF) {
        // Letters are listed lower case first in the keyboard map.
        const char16_t ch = QChar(char16_t(key)).toLower().unicode();
        const bool latin1 = (ch >= 0x20 && ch <= 0x7E) || (ch >= 0xA0 && ch <= 0xFF);
        return latin1 ? ch : 0x01000000u | ch;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return XK_F1 + (key - Qt::Key_F1);
    return specialKeysyms().value(key, NoSymbol);
}

// Every keycode that carries the keysym in the current layout, the best first (the way the
// server's own lookup does it: column by column).
QVector<quint32> keycodesOf(xcb_connection_t *connection, quint32 keysym)
{
    QVector<quint32> keycodes;
    if (keysym == NoSymbol)
        return keycodes;
    const xcb_setup_t *setup = xcb_get_setup(connection);
    const int first = setup->min_keycode;
    const int count = setup->max_keycode - first + 1;
    const auto reply = takeReply(xcb_get_keyboard_mapping_reply(
        connection, xcb_get_keyboard_mapping(connection, first, count), nullptr));
    if (!reply)
        return keycodes;
    const xcb_keysym_t *keysyms = xcb_get_keyboard_mapping_keysyms(reply.get());
    const int perKeycode = reply->keysyms_per_keycode;
    for (int column = 0; column < perKeycode; ++column) {
        for (int index = 0; index < count; ++index) {
            if (keysyms[index * perKeycode + column] == keysym &&
                !keycodes.contains(quint32(first + index)))
                keycodes.append(quint32(first + index));
        }
    }
    return keycodes;
}

// The modifier bit Num Lock sets in this session, or 0.
quint16 numLockMask(xcb_connection_t *connection)
{
    const QVector<quint32> numLock = keycodesOf(connection, XK_Num_Lock);
    const auto reply = takeReply(
        xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr));
    if (!reply || numLock.isEmpty())
        return 0;
    const xcb_keycode_t *keycodes = xcb_get_modifier_mapping_keycodes(reply.get());
    const int perModifier = reply->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int index = 0; index < perModifier; ++index) {
            if (numLock.contains(keycodes[modifier * perModifier + index]))
                return quint16(1u << modifier);
        }
    }
    return 0;
}

// A grab matches the exact modifier state, so each combination is grabbed once for every
// state of Caps Lock and Num Lock.
QVector<quint16> lockVariants(xcb_connection_t *connection)
{
    const quint16 numLock = numLockMask(connection);
    QVector<quint16> variants;
    for (quint16 variant :
         {quint16(0), quint16(XCB_MOD_MASK_LOCK), numLock, quint16(XCB_MOD_MASK_LOCK | numLock)}) {
        if (!variants.contains(variant))
            variants.append(variant);
    }
    return variants;
}

QString formatX11Error(quint8 code)
{
    char text[256] = {};
    if (Display *display = qtDisplay())
        XGetErrorText(display, code, text, sizeof(text));
    return text[0] ? QString::fromLocal8Bit(text) : QStringLiteral("X error %1").arg(code);
}

} // namespace

bool X11KeyGrabs::isAvailable() const
{
    return qtConnection() != nullptr;
}

bool X11KeyGrabs::enableDetectableAutoRepeat()
{
    Display *display = qtDisplay();
    if (!display)
        return false;
    Bool supported = False;
    XkbSetDetectableAutoRepeat(display, True, &supported);
    return supported;
}

bool X11KeyGrabs::keycodeFor(Qt::Key key, quint32 &keycode)
{
    keycode = 0;
    xcb_connection_t *connection = qtConnection();
    if (!connection)
        return false;
    QVector<quint32> keycodes = keycodesOf(connection, keysymOf(key));
    if (keycodes.isEmpty() && key == Qt::Key_Period)
        keycodes = keycodesOf(connection, XK_KP_Decimal);
    // A key the layout lacks is refused rather than replaced by an unrelated one.
    if (keycodes.isEmpty())
        return false;
    keycode = keycodes.first();
    return true;
}

quint32 X11KeyGrabs::modifiersFor(Qt::KeyboardModifiers modifiers)
{
    quint32 native = 0;
    if (modifiers & Qt::ShiftModifier)
        native |= XCB_MOD_MASK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        native |= XCB_MOD_MASK_CONTROL;
    if (modifiers & Qt::AltModifier)
        native |= XCB_MOD_MASK_1;
    if (modifiers & Qt::MetaModifier)
        native |= XCB_MOD_MASK_4;
    return native;
}

bool X11KeyGrabs::grab(quint32 keycode, quint32 modifiers, QString &error)
{
    xcb_connection_t *connection = qtConnection();
    if (!connection) {
        error = QStringLiteral("No X11 display");
        return false;
    }
    const xcb_window_t root = QX11Info::appRootWindow();
    const QVector<quint16> variants = lockVariants(connection);
    QVector<xcb_void_cookie_t> cookies;
    for (quint16 variant : variants) {
        cookies.append(xcb_grab_key_checked(connection, 0, root, quint16(modifiers | variant),
                                            xcb_keycode_t(keycode), XCB_GRAB_MODE_ASYNC,
                                            XCB_GRAB_MODE_ASYNC));
    }
    quint8 errorCode = 0;
    QVector<quint16> grabbed;
    for (int index = 0; index < cookies.size(); ++index) {
        if (const auto failure = takeReply(xcb_request_check(connection, cookies[index]))) {
            if (!errorCode)
                errorCode = failure->error_code;
        } else {
            grabbed.append(variants[index]);
        }
    }
    if (!errorCode)
        return true;

    // Half a hotkey would steal the key in some lock states only: give back what we got.
    for (quint16 variant : grabbed)
        xcb_ungrab_key(connection, xcb_keycode_t(keycode), root, quint16(modifiers | variant));
    xcb_flush(connection);
    error = formatX11Error(errorCode);
    return false;
}

bool X11KeyGrabs::ungrab(quint32 keycode, quint32 modifiers, QString &error)
{
    xcb_connection_t *connection = qtConnection();
    if (!connection) {
        error = QStringLiteral("No X11 display");
        return false;
    }
    const xcb_window_t root = QX11Info::appRootWindow();
    QVector<xcb_void_cookie_t> cookies;
    for (quint16 variant : lockVariants(connection)) {
        cookies.append(xcb_ungrab_key_checked(connection, xcb_keycode_t(keycode), root,
                                              quint16(modifiers | variant)));
    }
    quint8 errorCode = 0;
    for (const xcb_void_cookie_t &cookie : cookies) {
        if (const auto failure = takeReply(xcb_request_check(connection, cookie))) {
            if (!errorCode)
                errorCode = failure->error_code;
        }
    }
    if (!errorCode)
        return true;
    error = formatX11Error(errorCode);
    return false;
}

KeyGrabs::KeyEvent X11KeyGrabs::decodeEvent(const QByteArray &eventType, void *message,
                                            quint32 &keycode, quint32 &modifiers)
{
    if (eventType != "xcb_generic_event_t")
        return KeyEvent::Other;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    const quint8 type = event->response_type & ~0x80;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return KeyEvent::Other;
    // Press and release events share one layout.
    const auto *key = static_cast<const xcb_key_press_event_t *>(message);
    keycode = key->detail;
    modifiers = key->state & combinationMask;
    return type == XCB_KEY_PRESS ? KeyEvent::Press : KeyEvent::Release;
}

bool X11KeyGrabs::isKeyDown(quint32 keycode)
{
    xcb_connection_t *connection = qtConnection();
    if (!connection || keycode >= 256)
        return false;
    const auto keymap =
        takeReply(xcb_query_keymap_reply(connection, xcb_query_keymap(connection), nullptr));
    return keymap && (keymap->keys[keycode / 8] & (1u << (keycode % 8)));
}

} // namespace platform
