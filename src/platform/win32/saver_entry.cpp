// haze.scr: the process entry on Windows.
#include "host/password.h"
#include "host/saver_main.h"
#include "platform/platform.h"
#include "platform/win32/win32_platform.h"

namespace {

// A crash must not leave the system believing a password-protected saver
// still runs: switch that off, then let the process end.
LONG WINAPI onUnhandledException(EXCEPTION_POINTERS*) {
    SetSaverRunning(FALSE);
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    installPlatform(win32Platform());
    SetUnhandledExceptionFilter(onUnhandledException);
    // The desktop's command line, program name included; the mode's result
    // ends the process directly, so no global destructor runs.
    SaverEntry(instance, GetCommandLineA());
}
