// DefScreenSaverProc: the rules that end a full-screen run on user input.
#include "host/password.h"
#include "host/saver_host_state.h"
#include "host/screen_saver.h"
#include "platform/platform.h"

#include <cstdint>
#include <cstdlib>

namespace {

void requestClose(HWND window) {
    platform().postMessage(window, WM_CLOSE, 0, 0);
}

// Mouse travel from the reference point: |dx| + |dy| in screen pixels. Slow
// drifts add up, because smaller motions do not move the reference. Where the
// pointer is not known there is no travel; the first place it is known at
// becomes the reference.
bool mouseTravelledTooFar() {
    POINT now{};
    if (!platform().cursorPosition(&now)) {
        return false;
    }
    if (!hostState.cursorReferenceKnown) {
        hostState.cursorReference = now;
        hostState.cursorReferenceKnown = true;
        return false;
    }
    const std::int64_t dx = std::llabs(std::int64_t{now.x} - hostState.cursorReference.x);
    const std::int64_t dy = std::llabs(std::int64_t{now.y} - hostState.cursorReference.y);
    if (static_cast<UINT>(dx + dy) > hostState.mouseThreshold) {
        hostState.cursorReference = now;
        return true;
    }
    return false;
}

enum class InputRule { PassOn, Close, Answered };

// The input rules of a running full-screen saver.
InputRule applyInputRules(UINT message, WPARAM wParam) {
    switch (message) {
    case WM_SHOWWINDOW:
        if (wParam != 0) {
            platform().hideCursor();
        }
        return InputRule::PassOn;
    case WM_ACTIVATEAPP:
        return wParam == 0 ? InputRule::Close : InputRule::PassOn;
    case WM_SETCURSOR:
        platform().hideCursor();
        return InputRule::Answered;
    case WM_POWER:
        return wParam == PWR_SUSPENDRESUME ? InputRule::Close : InputRule::PassOn;
    case WM_POWERBROADCAST:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        return InputRule::Close;
    case WM_MOUSEMOVE:
        return mouseTravelledTooFar() ? InputRule::Close : InputRule::PassOn;
    default:
        return InputRule::PassOn;
    }
}

} // namespace

LRESULT WINAPI DefScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!hostState.isPreview && !hostState.closing) {
        if (message == WM_CLOSE) {
            if (hostState.isWindows9x && VerifySaverPassword(window) == 0) {
                // Refused: the run goes on, measured from where the mouse is now.
                hostState.cursorReferenceKnown =
                    platform().cursorPosition(&hostState.cursorReference);
                return 0;
            }
        } else if (message == VerifyPasswordMessage && hostState.isWindows9x) {
            return hostState.verifyPassword != nullptr ? hostState.verifyPassword(window) : 1;
        } else if (!hostState.verifying) {
            switch (applyInputRules(message, wParam)) {
            case InputRule::Answered:
                return 1;
            case InputRule::Close:
                requestClose(window);
                break;
            case InputRule::PassOn:
                break;
            }
        }
    }

    if (hostState.autoPlayMessage != 0 && message == hostState.autoPlayMessage) {
        // Cancel AutoPlay while a password guards the desktop.
        requestClose(window);
        return hostState.verifyPassword != nullptr ? 1 : 0;
    }
    return platform().defaultWindowProc(window, message, wParam, lParam);
}
