// A test MPR.DLL: logs the password-change request the saver hands over.
#include "test_log.h"

extern "C" __declspec(dllexport) DWORD WINAPI
    PwdChangePasswordA(LPCSTR provider, HWND window, DWORD, LPVOID) {
    testLog("change %llu %s", reinterpret_cast<unsigned long long>(window), provider);
    return 0;
}
