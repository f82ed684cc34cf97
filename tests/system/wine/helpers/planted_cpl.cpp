// A library planted as PASSWORD.CPL in the saver's working directory. The
// saver must never load it: if it did, it would log and accept at once.
#include "test_log.h"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        testLog("planted library loaded");
    }
    return TRUE;
}

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND) {
    testLog("planted verify");
    return TRUE;
}
