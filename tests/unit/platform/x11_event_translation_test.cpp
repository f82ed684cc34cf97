// X events as window messages: what reaches the host's input rules.
// GoogleTest first: Xlib defines None and Bool as macros.
#include <gtest/gtest.h>

#include "platform/x11/x11_event_translation.h"

namespace {

XEvent keyPress(unsigned keycode, unsigned state) {
    XEvent e{};
    e.type = KeyPress;
    e.xkey.keycode = keycode;
    e.xkey.state = state;
    return e;
}

XEvent buttonPress(unsigned button, int x, int y) {
    XEvent e{};
    e.type = ButtonPress;
    e.xbutton.button = button;
    e.xbutton.x = x;
    e.xbutton.y = y;
    return e;
}

XEvent focus(int type, int mode, int detail) {
    XEvent e{};
    e.type = type;
    e.xfocus.mode = mode;
    e.xfocus.detail = detail;
    return e;
}

TranslatedMessage translated(const XEvent& e) {
    TranslatedMessage m;
    EXPECT_TRUE(translateEvent(e, m)) << "event type " << e.type;
    return m;
}

bool ignored(const XEvent& e) {
    TranslatedMessage m;
    return !translateEvent(e, m);
}

TEST(X11EventTranslation, KeysAreKeyDownsAndAltMakesThemSystemKeys) {
    TranslatedMessage m = translated(keyPress(38, ShiftMask));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(m.wParam, 38u);
    EXPECT_EQ(translated(keyPress(38, Mod1Mask)).message, static_cast<UINT>(WM_SYSKEYDOWN));
}

TEST(X11EventTranslation, TheThreeButtonsAreClicksAndTheWheelIsNot) {
    EXPECT_EQ(translated(buttonPress(Button1, 5, 6)).message, static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_EQ(translated(buttonPress(Button2, 5, 6)).message, static_cast<UINT>(WM_MBUTTONDOWN));
    EXPECT_EQ(translated(buttonPress(Button3, 5, 6)).message, static_cast<UINT>(WM_RBUTTONDOWN));
    EXPECT_TRUE(ignored(buttonPress(Button4, 5, 6)));
    EXPECT_TRUE(ignored(buttonPress(Button5, 5, 6)));
    EXPECT_TRUE(ignored(buttonPress(8, 5, 6)));

    const TranslatedMessage m = translated(buttonPress(Button1, 300, 200));
    EXPECT_EQ(LOWORD(m.lParam), 300);
    EXPECT_EQ(HIWORD(m.lParam), 200);
}

TEST(X11EventTranslation, MotionCarriesWindowCoordinatesAsWindowsPacksThem) {
    XEvent e{};
    e.type = MotionNotify;
    e.xmotion.x = -3; // left of the window, during a grab
    e.xmotion.y = 1200;
    const TranslatedMessage m = translated(e);
    EXPECT_EQ(m.message, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(static_cast<std::int16_t>(LOWORD(m.lParam)), -3);
    EXPECT_EQ(HIWORD(m.lParam), 1200);
}

TEST(X11EventTranslation, OnlyARealLossOfFocusDeactivates) {
    for (int mode : {NotifyNormal, NotifyWhileGrabbed}) {
        for (int detail : {NotifyNonlinear, NotifyAncestor, NotifyVirtual}) {
            const TranslatedMessage m = translated(focus(FocusOut, mode, detail));
            EXPECT_EQ(m.message, static_cast<UINT>(WM_ACTIVATEAPP));
            EXPECT_EQ(m.wParam, 0u) << mode << " " << detail;
        }
    }
    EXPECT_EQ(translated(focus(FocusIn, NotifyNormal, NotifyNonlinear)).wParam, 1u);

    // Grabs moving the focus, the focus moving into a child, and the
    // pointer-root dance are not someone else taking the focus.
    EXPECT_TRUE(ignored(focus(FocusOut, NotifyGrab, NotifyNonlinear)));
    EXPECT_TRUE(ignored(focus(FocusOut, NotifyUngrab, NotifyNonlinear)));
    EXPECT_TRUE(ignored(focus(FocusOut, NotifyNormal, NotifyInferior)));
    EXPECT_TRUE(ignored(focus(FocusOut, NotifyNormal, NotifyPointer)));
    EXPECT_TRUE(ignored(focus(FocusOut, NotifyNormal, NotifyPointerRoot)));
    EXPECT_TRUE(ignored(focus(FocusOut, NotifyNormal, NotifyDetailNone)));
}

TEST(X11EventTranslation, OnePaintPerSeriesOfExposures) {
    XEvent e{};
    e.type = Expose;
    e.xexpose.count = 2;
    EXPECT_TRUE(ignored(e));
    e.xexpose.count = 0;
    EXPECT_EQ(translated(e).message, static_cast<UINT>(WM_PAINT));

    XEvent other{};
    other.type = KeyRelease;
    EXPECT_TRUE(ignored(other));
}

TEST(X11EventTranslation, AReconfigurationCarriesTheSizeAsWindowsPacksIt) {
    XEvent e{};
    e.type = ConfigureNotify;
    e.xconfigure.x = 7;
    e.xconfigure.width = 3840;
    e.xconfigure.height = 2160;
    const TranslatedMessage m = translated(e);
    EXPECT_EQ(m.message, static_cast<UINT>(WM_SIZE));
    EXPECT_EQ(LOWORD(m.lParam), 3840);
    EXPECT_EQ(HIWORD(m.lParam), 2160);
}

} // namespace
