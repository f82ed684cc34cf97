#include "platform/x11/x11_event_translation.h"

namespace {

// Window coordinates packed as Windows packs them: two signed 16-bit values.
LPARAM pointAsLParam(int x, int y) {
    const auto low = static_cast<std::uint16_t>(static_cast<std::int16_t>(x));
    const auto high = static_cast<std::uint16_t>(static_cast<std::int16_t>(y));
    return static_cast<LPARAM>(static_cast<std::uint32_t>(low) |
                               (static_cast<std::uint32_t>(high) << 16));
}

bool isActivationChange(const XFocusChangeEvent& focus) {
    if (focus.mode == NotifyGrab || focus.mode == NotifyUngrab) {
        return false;
    }
    return focus.detail != NotifyInferior && focus.detail != NotifyPointer &&
           focus.detail != NotifyPointerRoot && focus.detail != NotifyDetailNone;
}

} // namespace

bool translateEvent(const XEvent& event, TranslatedMessage& message) {
    switch (event.type) {
    case KeyPress:
        message.message = (event.xkey.state & Mod1Mask) != 0 ? WM_SYSKEYDOWN : WM_KEYDOWN;
        message.wParam = event.xkey.keycode;
        message.lParam = 1; // one press, no repeat
        return true;

    case ButtonPress:
        switch (event.xbutton.button) {
        case Button1:
            message.message = WM_LBUTTONDOWN;
            break;
        case Button2:
            message.message = WM_MBUTTONDOWN;
            break;
        case Button3:
            message.message = WM_RBUTTONDOWN;
            break;
        default:
            return false;
        }
        message.wParam = 0;
        message.lParam = pointAsLParam(event.xbutton.x, event.xbutton.y);
        return true;

    case MotionNotify:
        message.message = WM_MOUSEMOVE;
        message.wParam = 0;
        message.lParam = pointAsLParam(event.xmotion.x, event.xmotion.y);
        return true;

    case FocusIn:
    case FocusOut:
        if (!isActivationChange(event.xfocus)) {
            return false;
        }
        message.message = WM_ACTIVATEAPP;
        message.wParam = event.type == FocusIn ? 1 : 0;
        message.lParam = 0;
        return true;

    case Expose:
        if (event.xexpose.count != 0) {
            return false; // more of the same series follow
        }
        message.message = WM_PAINT;
        message.wParam = 0;
        message.lParam = 0;
        return true;

    case ConfigureNotify:
        message.message = WM_SIZE;
        message.wParam = 0; // SIZE_RESTORED
        message.lParam = MAKELPARAM(event.xconfigure.width, event.xconfigure.height);
        return true;

    default:
        return false;
    }
}
