// A test password verifier, installed as PASSWORD.CPL in the system
// directory: takes a second over the first request, as a person at the
// password dialog would, and refuses it; accepts every later one at once.
// Logs each request with the tick count.
#include "test_log.h"

static int requests = 0;

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
    ++requests;
    testLog("verify %llu", GetTickCount());
    (void)window;
    if (requests == 1) {
        Sleep(1000);
        return FALSE;
    }
    return TRUE;
}
