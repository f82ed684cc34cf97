// haze.scr: the process entry on Windows.
#include "host/saver_main.h"
#include "platform/platform.h"
#include "platform/win32/win32_platform.h"

namespace {

// A crash must not leave the system believing a password-protected saver
// still runs: the host switches that off, then the process ends.
LONG WINAPI onUnhandledException(EXCEPTION_POINTERS*) {
    static_assert(RunExceptionHandler == EXCEPTION_EXECUTE_HANDLER);
    return SaverExceptionFilter();
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    installPlatform(win32Platform());
    SetUnhandledExceptionFilter(onUnhandledException);
    // The desktop's command line, program name included; the mode's result
    // ends the process directly, so no global destructor runs.
    SaverEntry(instance, GetCommandLineA());
}
