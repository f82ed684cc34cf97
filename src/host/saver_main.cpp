#include "host/saver_main.h"

#include "host/command_line.h"
#include "host/password.h"
#include "host/saver_host_state.h"
#include "host/saver_window.h"
#include "host/screen_saver.h"
#include "platform/platform.h"

#include <cstdlib>

namespace {

bool isSwitchPrefix(unsigned char c) {
    return c == ' ' || c == '-' || c == '/';
}

const char* skipBlanks(const char* p) {
    while (*p == ' ') {
        ++p;
    }
    return p;
}

int refuse(SwitchRefusal reason, const char* argument) {
    hostState.refusal = reason;
    hostState.refusedArgument = argument;
    return -1;
}

// A handle given on the command line if it names a window, else the window
// the user is working in.
HWND windowOrForeground(HWND window) {
    if (window != nullptr && platform().isWindow(window)) {
        return window;
    }
    return platform().foregroundWindow();
}

// The dialog procedure as the dialog manager calls it; the framework's
// ScreenSaverConfigureDialog answers a BOOL.
INT_PTR CALLBACK configureDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return ScreenSaverConfigureDialog(dialog, message, wParam, lParam);
}

} // namespace

void SaverEntry(HINSTANCE instance, const char* commandLine) {
    const int result = SaverMain(instance, ExtractCommandTail(commandLine));
    platform().exitProcess(result);
    // Backends end the process in exitProcess; should one return, end it the
    // same way: at once, without running global destructors.
    std::_Exit(result);
}

int SaverMain(HINSTANCE instance, const char* commandTail) {
    hostState.instance = instance;
    DWORD platformId = 0;
    hostState.isWindows9x =
        platform().queryPlatformId(&platformId) && platformId == VER_PLATFORM_WIN32_WINDOWS ? 1 : 0;

    const char* p = commandTail;
    while (isSwitchPrefix(static_cast<unsigned char>(*p))) {
        ++p;
    }
    hostState.refusal = SwitchRefusal::None;
    hostState.refusedSwitch = *p;
    switch (*p) {
    case '\0':
        return ShowConfigureDialog(nullptr);
    case 'S':
    case 's':
        return RunSaverWindow(nullptr);
    case 'P':
    case 'p':
    case 'L':
    case 'l':
        return RunPreview(skipBlanks(p + 1));
    case 'C':
    case 'c': {
        HWND owner = p[1] == ':' ? ParseWindowHandle(p + 2) : nullptr;
        return ShowConfigureDialog(windowOrForeground(owner));
    }
    case 'A':
    case 'a':
        if (hostState.isWindows9x) {
            ChangeSaverPassword(skipBlanks(p + 1));
            return 0;
        }
        return refuse(SwitchRefusal::UnknownSwitch, p + 1);
    default:
        return refuse(SwitchRefusal::UnknownSwitch, p + 1);
    }
}

LONG SaverExceptionFilter() {
    SetSaverRunning(FALSE);
    return RunExceptionHandler;
}

int RunPreview(const char* text) {
    HWND parent = ParseWindowHandle(text);
    if (parent == nullptr) {
        return refuse(SwitchRefusal::MalformedWindowId, text);
    }
    if (platform().limits.noForeignWindows) {
        return refuse(SwitchRefusal::NoForeignWindows, text);
    }
    if (!platform().isWindow(parent)) {
        return refuse(SwitchRefusal::NotAWindow, text);
    }
    return RunSaverWindow(parent);
}

int ShowConfigureDialog(HWND parent) {
    if (!RegisterDialogClasses(hostState.instance)) {
        return 0;
    }
    return static_cast<int>(
        platform().runDialog(hostState.instance, DialogTemplateId, parent, configureDialogProc, 0));
}

int ChangeSaverPassword(const char* text) {
    HWND window = windowOrForeground(ParseWindowHandle(text));
    HMODULE mpr = platform().loadSystemLibrary("MPR.DLL");
    if (mpr != nullptr) {
        auto change =
            procCast<PwdChangePasswordAProc>(platform().procAddress(mpr, "PwdChangePasswordA"));
        if (change != nullptr) {
            change("SCRSAVE", window, 0, nullptr);
        }
        platform().freeLibrary(mpr);
    }
    return 0;
}

BOOL WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND) {
        const WORD control = LOWORD(wParam);
        if (control == IDOK || control == IDCANCEL) {
            platform().endDialog(dialog, control == IDOK ? 1 : 0);
            return TRUE;
        }
    }
    return FALSE;
}

BOOL WINAPI RegisterDialogClasses(HINSTANCE) {
    return TRUE;
}
