#include "platform/win32/win32_platform.h"

#include "platform/extension_list.h"
#include "platform/frame_pacer.h"

#include <GL/gl.h>

#include <cstdint>
#include <string>

namespace {

// Holds each frame timer message to the display's pace.
FramePacer pacer;

std::uint64_t monotonicUs() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<std::uint64_t>(now.QuadPart / frequency.QuadPart * 1000000 +
                                      now.QuadPart % frequency.QuadPart * 1000000 /
                                          frequency.QuadPart);
}

// Whether anyone could see a frame drawn in `window`: not while it or a
// window it is inside is hidden, nor while its top-level window (a preview's
// settings page) is minimised.
bool windowSeen(HWND window) {
    return IsWindowVisible(window) && !IsIconic(GetAncestor(window, GA_ROOT));
}

// Every timer message draws a frame: one that comes before the pacer allows,
// or while nobody could see the window, is passed over, and the next tick of
// the timer tries again (at once, once the window is seen again).
bool frameMayStart(const MSG& message) {
    if (message.message != WM_TIMER) {
        return true;
    }
    if (!windowSeen(message.hwnd)) {
        return false;
    }
    const std::uint64_t now = monotonicUs();
    if (pacer.usUntilNextFrame(now) > 0) {
        return false;
    }
    pacer.frameStarted(now);
    return true;
}

WNDPROC saverProcedure = nullptr; // the host's procedure for the saver class

bool queryPlatformId(DWORD* platformId) {
    // The ANSI version record (148 bytes). The query is deprecated in newer
    // headers but is the one call that still tells the Windows 98 family.
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)
#endif
    if (!GetVersionExA(&version)) {
        return false;
    }
    *platformId = version.dwPlatformId;
    return true;
}

DWORD tickCount() {
    return GetTickCount();
}

void yieldTimeSlice() {
    Sleep(0);
}

const char* nextCharacter(const char* text) {
    return CharNextA(text);
}

void exitProcess(int code) {
    ExitProcess(static_cast<UINT>(code));
}

HWND foregroundWindow() {
    return GetForegroundWindow();
}

bool setForegroundWindow(HWND window) {
    return SetForegroundWindow(window) != FALSE;
}

HWND findWindow(const char* className, const char* title) {
    return FindWindowA(className, title);
}

bool isWindow(HWND window) {
    return IsWindow(window) != FALSE;
}

HWND parentWindow(HWND window) {
    return GetParent(window);
}

bool clientRect(HWND window, RECT* rect) {
    return GetClientRect(window, rect) != FALSE;
}

bool screenRect(RECT* rect) {
    HDC screen = GetDC(nullptr);
    const int kind = GetClipBox(screen, rect);
    ReleaseDC(nullptr, screen);
    return kind != ERROR;
}

struct MonitorList {
    POINT origin; // the client area's top left corner on the desktop
    RECT client;
    RECT* rects;
    int capacity;
    int count;
};

BOOL CALLBACK addMonitor(HMONITOR, HDC, RECT* area, LPARAM data) {
    MonitorList& list = *reinterpret_cast<MonitorList*>(data);
    const RECT m = {area->left - list.origin.x, area->top - list.origin.y,
                    area->right - list.origin.x, area->bottom - list.origin.y};
    const bool covered =
        m.left < list.client.right && m.right > 0 && m.top < list.client.bottom && m.bottom > 0;
    if (covered && list.count < list.capacity) {
        list.rects[list.count++] = m;
    }
    return TRUE;
}

// In device pixels: the saver is aware of each monitor's own DPI.
int monitorRects(HWND window, RECT* rects, int capacity) {
    MonitorList list = {{0, 0}, {0, 0, 0, 0}, rects, capacity, 0};
    if (!GetClientRect(window, &list.client) || !ClientToScreen(window, &list.origin)) {
        return 0;
    }
    EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&list));
    return list.count;
}

// The saver window keeps filling what it was made to fill: a preview its
// parent's client area, which a settings page may lay out anew at any time
// (checked before each frame, as no message tells a child of it); a
// full-screen window the desktop, after a change of the displays. The new
// size reaches the procedure as WM_SIZE.
void keepFilling(HWND window, UINT message) {
    HWND parent = GetParent(window);
    RECT wanted = {0, 0, 0, 0};
    if (message == WM_TIMER && parent != nullptr) {
        GetClientRect(parent, &wanted);
    } else if (message == WM_DISPLAYCHANGE && parent == nullptr) {
        screenRect(&wanted);
    } else {
        return;
    }
    RECT now = {0, 0, 0, 0};
    GetWindowRect(window, &now);
    if (parent != nullptr) {
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&now), 2);
    }
    if (now.left != wanted.left || now.top != wanted.top || now.right != wanted.right ||
        now.bottom != wanted.bottom) {
        SetWindowPos(window, nullptr, wanted.left, wanted.top, wanted.right - wanted.left,
                     wanted.bottom - wanted.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

LRESULT CALLBACK fillingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    keepFilling(window, message);
    return saverProcedure(window, message, wParam, lParam);
}

bool registerSaverClass(const SaverClassDesc& desc) {
    saverProcedure = desc.procedure;
    WNDCLASSA saverClass = {};
    saverClass.style = desc.style;
    saverClass.lpfnWndProc = fillingProcedure;
    saverClass.hInstance = desc.instance;
    saverClass.hIcon = LoadIconA(desc.instance, MAKEINTRESOURCEA(desc.iconId));
    saverClass.hCursor = nullptr; // the saver shows no cursor
    saverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    saverClass.lpszClassName = desc.className;
    return RegisterClassA(&saverClass) != 0;
}

HWND createWindow(const SaverWindowDesc& desc) {
    return CreateWindowExA(desc.exStyle, desc.className, desc.title, desc.style, desc.x, desc.y,
                           desc.width, desc.height, desc.parent, nullptr, desc.instance, nullptr);
}

int runMessageLoop() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!frameMayStart(message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

LRESULT defaultWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

bool postMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return PostMessageA(window, message, wParam, lParam) != FALSE;
}

LRESULT sendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(window, message, wParam, lParam);
}

void postQuitMessage(int exitCode) {
    PostQuitMessage(exitCode);
}

bool removePendingTimer(HWND window) {
    MSG message;
    return PeekMessageA(&message, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD) != FALSE;
}

UINT registerWindowMessage(const char* name) {
    return RegisterWindowMessageA(name);
}

bool setTimer(HWND window, UINT_PTR id, UINT periodMs) {
    return SetTimer(window, id, periodMs, nullptr) != 0;
}

bool killTimer(HWND window, UINT_PTR id) {
    return KillTimer(window, id) != FALSE;
}

bool cursorPosition(POINT* position) {
    return GetCursorPos(position) != FALSE;
}

void hideCursor() {
    SetCursor(nullptr);
}

INT_PTR runDialog(HINSTANCE instance, int templateId, HWND owner, DLGPROC procedure, LPARAM param) {
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), owner, procedure, param);
}

bool endDialog(HWND dialog, INT_PTR result) {
    return EndDialog(dialog, result) != FALSE;
}

HMODULE loadedModule(const char* name) {
    return GetModuleHandleA(name);
}

// Only the copy in the system directory: a library of the same name planted
// in the current or the program's directory is never loaded into the saver.
HMODULE loadSystemLibrary(const char* name) {
    char directory[MAX_PATH];
    const UINT length = GetSystemDirectoryA(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return nullptr;
    }
    std::string path(directory, length);
    path += '\\';
    path += name;
    // The library's own imports are searched for from its folder first.
    return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void freeLibrary(HMODULE module) {
    FreeLibrary(module);
}

FARPROC procAddress(HMODULE module, const char* name) {
    return GetProcAddress(module, name);
}

bool readUserDword(const char* key, const char* value, DWORD* result) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) {
        return false;
    }
    DWORD data = 0;
    DWORD size = sizeof data;
    const LONG status =
        RegQueryValueExA(opened, value, nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &size);
    RegCloseKey(opened);
    if (status != ERROR_SUCCESS || size != sizeof data) {
        return false;
    }
    *result = data;
    return true;
}

void systemParameter(UINT action, UINT value) {
    BOOL previous = FALSE; // the earlier state the system reports; not needed
    SystemParametersInfoA(action, value, &previous, 0);
}

HDC windowDeviceContext(HWND window) {
    return GetDC(window);
}

void releaseDeviceContext(HWND window, HDC deviceContext) {
    ReleaseDC(window, deviceContext);
}

// Whether `copying` is `plain` with a swap that copies the back buffer, and
// nothing worse: the same kind of driver, colour and alpha, no less depth.
bool sameButCopying(HDC dc, int plain, int copying) {
    PIXELFORMATDESCRIPTOR a{};
    PIXELFORMATDESCRIPTOR b{};
    if (!DescribePixelFormat(dc, plain, sizeof a, &a) ||
        !DescribePixelFormat(dc, copying, sizeof b, &b)) {
        return false;
    }
    const DWORD kind = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER |
                       PFD_GENERIC_FORMAT | PFD_GENERIC_ACCELERATED;
    return (b.dwFlags & PFD_SWAP_COPY) != 0 && (a.dwFlags & kind) == (b.dwFlags & kind) &&
           a.cColorBits == b.cColorBits && a.cAlphaBits == b.cAlphaBits &&
           b.cDepthBits >= a.cDepthBits;
}

// The closest format to the request; among equally good ones, one whose
// swap copies the back buffer (PFD_SWAP_COPY is a hint to the choice), so
// that each frame is still there for the next.
bool setPixelFormat(HDC deviceContext, const PIXELFORMATDESCRIPTOR& request) {
    int format = ChoosePixelFormat(deviceContext, &request);
    PIXELFORMATDESCRIPTOR copying = request;
    copying.dwFlags |= PFD_SWAP_COPY;
    const int copyingFormat = ChoosePixelFormat(deviceContext, &copying);
    if (format != 0 && copyingFormat != 0 && copyingFormat != format &&
        sameButCopying(deviceContext, format, copyingFormat)) {
        format = copyingFormat;
    }
    return format != 0 && SetPixelFormat(deviceContext, format, &request) != FALSE;
}

HGLRC createGLContext(HDC deviceContext) {
    return wglCreateContext(deviceContext);
}

GLEntryPoint glEntryPoint(const char* name) {
    const PROC found = wglGetProcAddress(name);
    // Some drivers answer 1, 2, 3 or -1 for a name they do not have.
    const auto value = reinterpret_cast<std::intptr_t>(found);
    return value >= -1 && value <= 3 ? nullptr : procCast<GLEntryPoint>(found);
}

// Asks the driver to swap at most once a display refresh (WGL_EXT_swap_control).
// False when it does not offer that or refused.
bool setSwapIntervalOne(HDC deviceContext) {
    using ExtensionsOfDc = const char*(WINAPI*)(HDC);
    using Extensions = const char*(WINAPI*)();
    using SwapInterval = BOOL(WINAPI*)(int);
    const char* wglExtensions = nullptr;
    if (auto arb = procCast<ExtensionsOfDc>(glEntryPoint("wglGetExtensionsStringARB"))) {
        wglExtensions = arb(deviceContext);
    } else if (auto ext = procCast<Extensions>(glEntryPoint("wglGetExtensionsStringEXT"))) {
        wglExtensions = ext();
    }
    // Older drivers list their WGL extensions among the GL ones.
    const char* glExtensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (!listsExtension(wglExtensions, "WGL_EXT_swap_control") &&
        !listsExtension(glExtensions, "WGL_EXT_swap_control")) {
        return false;
    }
    auto swapInterval = procCast<SwapInterval>(glEntryPoint("wglSwapIntervalEXT"));
    return swapInterval != nullptr && swapInterval(1) != FALSE;
}

// The driver's own pacing where it offers it, and the frame timer held to
// the display's refresh (as the system reports it, else 60 Hz) either way.
void startPacing(HDC deviceContext) {
    const bool driverPaces = setSwapIntervalOne(deviceContext);
    const int hz = GetDeviceCaps(deviceContext, VREFRESH); // 0 or 1: the hardware's default
    pacer.setMinimumPeriodUs(minimumFramePeriodUs(hz > 1 ? hz : 0, driverPaces));
}

bool makeCurrent(HDC deviceContext, HGLRC context) {
    if (wglMakeCurrent(deviceContext, context) == FALSE) {
        return false;
    }
    if (context != nullptr) {
        startPacing(deviceContext);
    }
    return true;
}

void swapBuffers(HDC deviceContext) {
    SwapBuffers(deviceContext);
}

void deleteGLContext(HGLRC context) {
    wglDeleteContext(context);
}

bool swapKeepsBackBuffer(HDC deviceContext) {
    PIXELFORMATDESCRIPTOR format{};
    const int index = GetPixelFormat(deviceContext);
    return index != 0 && DescribePixelFormat(deviceContext, index, sizeof format, &format) &&
           (format.dwFlags & PFD_SWAP_COPY) != 0;
}

Platform makeTable() {
    Platform table;
    table.queryPlatformId = queryPlatformId;
    table.tickCount = tickCount;
    table.yieldTimeSlice = yieldTimeSlice;
    table.nextCharacter = nextCharacter;
    table.exitProcess = exitProcess;
    table.foregroundWindow = foregroundWindow;
    table.setForegroundWindow = setForegroundWindow;
    table.findWindow = findWindow;
    table.isWindow = isWindow;
    table.parentWindow = parentWindow;
    table.clientRect = clientRect;
    table.screenRect = screenRect;
    table.monitorRects = monitorRects;
    table.registerSaverClass = registerSaverClass;
    table.createWindow = createWindow;
    table.runMessageLoop = runMessageLoop;
    table.defaultWindowProc = defaultWindowProc;
    table.postMessage = postMessage;
    table.sendMessage = sendMessage;
    table.postQuitMessage = postQuitMessage;
    table.removePendingTimer = removePendingTimer;
    table.registerWindowMessage = registerWindowMessage;
    table.setTimer = setTimer;
    table.killTimer = killTimer;
    table.cursorPosition = cursorPosition;
    table.hideCursor = hideCursor;
    table.runDialog = runDialog;
    table.endDialog = endDialog;
    table.loadedModule = loadedModule;
    table.loadSystemLibrary = loadSystemLibrary;
    table.freeLibrary = freeLibrary;
    table.procAddress = procAddress;
    table.readUserDword = readUserDword;
    table.systemParameter = systemParameter;
    table.windowDeviceContext = windowDeviceContext;
    table.releaseDeviceContext = releaseDeviceContext;
    table.setPixelFormat = setPixelFormat;
    table.createGLContext = createGLContext;
    table.makeCurrent = makeCurrent;
    table.swapBuffers = swapBuffers;
    table.deleteGLContext = deleteGLContext;
    table.swapKeepsBackBuffer = swapKeepsBackBuffer;
    table.glEntryPoint = glEntryPoint;
    return table;
}

} // namespace

const Platform& win32Platform() {
    static const Platform table = makeTable();
    return table;
}
