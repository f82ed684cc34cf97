// A test password verifier, installed as PASSWORD.CPL in the system
// directory: refuses the first request and accepts every later one, and
// logs each request with the tick count.
#include "test_log.h"

static int requests = 0;

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
    ++requests;
    testLog("verify %llu", GetTickCount());
    (void)window;
    return requests > 1 ? TRUE : FALSE;
}
