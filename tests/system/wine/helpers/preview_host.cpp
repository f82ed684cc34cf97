// A stand-in for the desktop's settings page: opens a window, prints its
// handle in decimal (what the desktop passes after /p) and keeps it open
// until closed or killed. Twice a second it logs its child windows (class,
// title, client size) to HAZE_TEST_LOG, so a test can see the preview that
// a saver made inside it. It logs the screen's DPI first ("dpi N"). With
// HAZE_HOST_RESIZE_TO=WxH in the environment it lays itself out anew three
// seconds after a child first appeared, to a client area of W x H, as a
// settings page may. With HAZE_HOST_COMMANDS=FILE it looks for FILE at each
// tick; "NAME N" in it has it call ShowWindow with N (minimised, hidden,
// shown, as a settings page may be), remove the file and log NAME once done.
// Used by the Wine system tests.
#include "test_log.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

constexpr UINT_PTR childCheckTimer = 1;
constexpr int ticksBeforeResize = 6; // of the half-second timer
std::string lastReport;
int ticksWithChild = 0;

// Gives the window a client area of `width` x `height` pixels.
void setClientSize(HWND window, int width, int height) {
    RECT area = {0, 0, width, height};
    AdjustWindowRect(&area, WS_OVERLAPPEDWINDOW, FALSE);
    SetWindowPos(window, nullptr, 0, 0, area.right - area.left, area.bottom - area.top,
                 SWP_NOMOVE | SWP_NOZORDER);
}

void resizeWhenAsked(HWND window, bool hasChild) {
    char size[32];
    int width = 0;
    int height = 0;
    ticksWithChild += hasChild || ticksWithChild > 0 ? 1 : 0;
    if (ticksWithChild == ticksBeforeResize &&
        GetEnvironmentVariableA("HAZE_HOST_RESIZE_TO", size, sizeof size) > 0 &&
        std::sscanf(size, "%dx%d", &width, &height) == 2) {
        setClientSize(window, width, height);
    }
}

void obeyCommand(HWND window) {
    char path[MAX_PATH];
    std::FILE* file = GetEnvironmentVariableA("HAZE_HOST_COMMANDS", path, MAX_PATH) > 0
                          ? std::fopen(path, "r")
                          : nullptr;
    if (file == nullptr) {
        return;
    }
    char name[16] = "";
    int show = 0;
    const bool read = std::fscanf(file, "%15s %d", name, &show) == 2;
    std::fclose(file);
    DeleteFileA(path);
    if (read) {
        ShowWindow(window, show);
        testLog("%llu %s", GetTickCount(), name);
    }
}

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
        resizeWhenAsked(window, !report.empty());
        obeyCommand(window);
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
    HWND window =
        CreateWindowA("HazePreviewHost", "haze preview host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40,
                      40, 100, 100, nullptr, nullptr, hostClass.hInstance, nullptr);
    setClientSize(window, 320, 240);
    HDC screen = GetDC(nullptr);
    testLog("dpi %llu", static_cast<unsigned long long>(GetDeviceCaps(screen, LOGPIXELSX)));
    ReleaseDC(nullptr, screen);
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
