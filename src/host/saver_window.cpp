#include "host/saver_window.h"

#include "host/password.h"
#include "host/saver_host_state.h"
#include "host/screen_saver.h"
#include "platform/platform.h"

namespace {

bool isInputMessage(UINT message) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        return true;
    default:
        return false;
    }
}

// Task switching and a second screen-saver start are swallowed in a run.
bool isSwallowedSystemCommand(WPARAM command) {
    return command == SC_NEXTWINDOW || command == SC_PREVWINDOW || command == SC_SCREENSAVE;
}

// An input method would pop up its own window over the saver: detach the
// window's input context, but only if the library is already in the process.
void detachInputContext(HWND window) {
    hostState.imeModule = platform().loadedModule("IMM32.DLL");
    if (hostState.imeModule == nullptr) {
        return;
    }
    hostState.associateContext = procCast<ImmAssociateContextProc>(
        platform().procAddress(hostState.imeModule, "ImmAssociateContext"));
    if (hostState.associateContext != nullptr) {
        hostState.savedInputContext = hostState.associateContext(window, nullptr);
    }
}

void restoreInputContext(HWND window) {
    if (hostState.imeModule != nullptr && hostState.associateContext != nullptr &&
        hostState.savedInputContext != nullptr) {
        hostState.associateContext(window, hostState.savedInputContext);
    }
}

SaverWindowDesc describeWindow(HWND parent) {
    SaverWindowDesc desc{};
    desc.className = SaverClassName;
    desc.parent = parent;
    desc.instance = hostState.instance;
    RECT area{};
    if (parent != nullptr) {
        platform().clientRect(parent, &area);
        desc.title = PreviewTitle;
        desc.style = PreviewWindowStyle;
        desc.width = area.right;
        desc.height = area.bottom;
    } else {
        platform().screenRect(&area);
        desc.title = FullScreenTitle;
        desc.style = FullScreenWindowStyle;
        desc.exStyle = WS_EX_TOPMOST;
        desc.x = area.left;
        desc.y = area.top;
        desc.width = area.right - area.left;
        desc.height = area.bottom - area.top;
    }
    return desc;
}

} // namespace

int RunSaverWindow(HWND parent) {
    if (parent != nullptr) {
        hostState.isPreview = 1;
    } else {
        // One full-screen saver at a time: bring the running one to the front
        // (where the window system can find it).
        HWND running = platform().limits.noInstanceSearch
                           ? nullptr
                           : platform().findWindow(SaverClassName, FullScreenTitle);
        if (running != nullptr && platform().isWindow(running)) {
            platform().setForegroundWindow(running);
            return 0;
        }
        LoadPasswordVerifier();
    }
    hostState.autoPlayMessage =
        hostState.isWindows9x ? platform().registerWindowMessage("QueryCancelAutoPlay") : 0;

    const SaverWindowDesc desc = describeWindow(parent);
    const SaverClassDesc saverClass = {hostState.instance, SaverWindowProc, SaverClassName,
                                       SaverClassStyle, SaverIconId};
    if (platform().registerSaverClass(saverClass)) {
        hostState.window = platform().createWindow(desc);
    }

    // No window, no run: report the failure rather than a clean exit.
    int exitCode = -1;
    if (hostState.window != nullptr) {
        if (parent == nullptr) {
            platform().setForegroundWindow(hostState.window);
        }
        exitCode = platform().runMessageLoop();
    }
    UnloadPasswordVerifier();
    return exitCode;
}

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        detachInputContext(window);
        // Mouse travel is measured from here; where the window system knows
        // the pointer only over the saver, from where it is first seen.
        hostState.cursorReferenceKnown = !platform().limits.pointerOnlyOverOwnSurfaces &&
                                         platform().cursorPosition(&hostState.cursorReference);
        if (!hostState.isPreview) {
            platform().hideCursor();
        }
        break;

    case WM_DESTROY:
        restoreInputContext(window);
        platform().postQuitMessage(0);
        break;

    case WM_SETTEXT:
        return 0; // the title marks a running instance: it never changes

    case WM_PAINT:
        if (hostState.closing) {
            return platform().defaultWindowProc(window, message, wParam, lParam);
        }
        if (!hostState.isPreview) {
            platform().hideCursor();
        }
        break;

    case WM_HELP:
    case WM_CONTEXTMENU:
        if (hostState.isPreview) {
            // Help belongs to the settings page that holds the preview.
            HWND parent = platform().parentWindow(window);
            if (parent != nullptr && platform().isWindow(parent)) {
                platform().postMessage(parent, message, reinterpret_cast<WPARAM>(parent), lParam);
            }
            return 1;
        }
        break;

    case WM_SYSCOMMAND:
        if (!hostState.isPreview && isSwallowedSystemCommand(wParam)) {
            return 0;
        }
        break;

    case WM_TIMER:
        if (hostState.closing) {
            return 0; // no more frames once the saver may end
        }
        platform().yieldTimeSlice();
        break;

    default:
        if (isInputMessage(message) && hostState.closing) {
            return platform().defaultWindowProc(window, message, wParam, lParam);
        }
        break;
    }
    return ScreenSaverProc(window, message, wParam, lParam);
}
