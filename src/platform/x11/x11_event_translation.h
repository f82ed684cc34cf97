// X events in the window-message vocabulary the host and the application
// speak. Pure: needs no connection, so it is tested with hand-made events.
#pragma once

#include "platform/messages.h"

#include <X11/Xlib.h>

struct TranslatedMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// The message an event stands for, or false when it stands for none:
// - a key press: WM_KEYDOWN, or WM_SYSKEYDOWN with Alt held (wParam the key
//   code);
// - buttons 1, 2 and 3: WM_LBUTTONDOWN, WM_MBUTTONDOWN, WM_RBUTTONDOWN (the
//   wheel and extra buttons stand for nothing);
// - pointer motion: WM_MOUSEMOVE (lParam the window coordinates, x in the low
//   16 bits, y in the high);
// - the focus arriving or leaving for real: WM_ACTIVATEAPP with wParam 1 or 0;
//   the focus moves that grabs cause, and those into or out of a child or
//   the pointer's window, are not activation changes;
// - the last of a series of exposures: WM_PAINT;
// - a reconfiguration: WM_SIZE with the window's width and height packed as
//   Windows packs them (the caller tells a new size from a move).
bool translateEvent(const XEvent& event, TranslatedMessage& message);
