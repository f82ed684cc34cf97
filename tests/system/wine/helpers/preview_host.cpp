// A stand-in for the desktop's settings page: opens a window, prints its
// handle in decimal (what the desktop passes after /p) and keeps it open
// until closed or killed. Twice a second it logs its child windows (class,
// title, client size) to HAZE_TEST_LOG, so a test can see the preview that
// a saver made inside it. Used by the Wine system tests.
#include "test_log.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

constexpr UINT_PTR childCheckTimer = 1;
std::string lastReport;

BOOL CALLBACK describeChild(HWND child, LPARAM report) {
    char className[64] = "";
    char title[64] = "";
    GetClassNameA(child, className, sizeof className);
    GetWindowTextA(child, title, sizeof title);
    RECT area = {};
    GetClientRect(child, &area);
    char line[200];
    std::snprintf(line, sizeof line, "child %s %s %ldx%ld;", className, title,
                  static_cast<long>(area.right), static_cast<long>(area.bottom));
    *reinterpret_cast<std::string*>(report) += line;
    return TRUE;
}

LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER: {
        std::string report;
        EnumChildWindows(window, describeChild, reinterpret_cast<LPARAM>(&report));
        if (report != lastReport) {
            testLog("%llu %s", GetTickCount(), report.empty() ? "no child" : report.c_str());
            lastReport = report;
        }
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

int main() {
    WNDCLASSA hostClass = {};
    hostClass.lpfnWndProc = hostProc;
    hostClass.hInstance = GetModuleHandleA(nullptr);
    hostClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    hostClass.lpszClassName = "HazePreviewHost";
    RegisterClassA(&hostClass);
    // Client area 320 x 240, as a settings page's preview monitor is small.
    RECT area = {0, 0, 320, 240};
    AdjustWindowRect(&area, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window =
        CreateWindowA("HazePreviewHost", "haze preview host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40,
                      40, area.right - area.left, area.bottom - area.top, nullptr, nullptr,
                      hostClass.hInstance, nullptr);
    SetTimer(window, childCheckTimer, 500, nullptr);
    std::printf("%llu\n",
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window)));
    std::fflush(stdout);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
