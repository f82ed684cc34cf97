#include "fake_platform.h"

#include "host/saver_host_state.h"

#include <cstdio>

namespace fake {
namespace {

State current;

void record(const char* name, const std::string& args = "") {
    current.calls.push_back(std::string(name) + "(" + args + ")");
}

std::string handleText(const void* handle) {
    char text[32];
    std::snprintf(text, sizeof text, "%#lx",
                  static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(handle)));
    return text;
}

bool queryPlatformId(DWORD* id) {
    record("queryPlatformId");
    if (!current.versionQueryWorks) {
        return false;
    }
    *id = current.platformId;
    return true;
}

DWORD tickCount() {
    return current.tick;
}

void yieldTimeSlice() {
    ++current.yieldCount;
}

// A double-byte code page in the manner of Shift-JIS: a lead byte in 0x81 to
// 0x9F or 0xE0 to 0xFC takes the next byte with it, unless that is the NUL.
// With doubleByteCodePage off, every byte is a character.
const char* nextCharacter(const char* text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead == 0) {
        return text;
    }
    const bool doubleByte = current.doubleByteCodePage &&
                            ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC));
    if (doubleByte && text[1] != 0) {
        return text + 2;
    }
    return text + 1;
}

void exitProcess(int code) {
    record("exitProcess", std::to_string(code));
}

HWND foregroundWindow() {
    record("foregroundWindow");
    return current.foreground;
}

bool setForegroundWindow(HWND window) {
    record("setForegroundWindow", handleText(window));
    return true;
}

HWND findWindow(const char* className, const char* title) {
    record("findWindow", std::string(className) + "," + title);
    return current.runningSaver;
}

bool isWindow(HWND window) {
    return current.windows.count(window) != 0;
}

HWND parentWindow(HWND window) {
    auto found = current.parents.find(window);
    return found == current.parents.end() ? nullptr : found->second;
}

bool clientRect(HWND window, RECT* rect) {
    auto found = current.clientRects.find(window);
    *rect = found == current.clientRects.end() ? RECT{0, 0, 0, 0} : found->second;
    return found != current.clientRects.end();
}

bool screenRect(RECT* rect) {
    *rect = current.screen;
    return true;
}

int monitorRects(HWND, RECT* rects, int capacity) {
    int count = 0;
    for (const RECT& monitor : current.monitors) {
        if (count < capacity) {
            rects[count++] = monitor;
        }
    }
    return count;
}

bool registerSaverClass(const SaverClassDesc& desc) {
    record("registerSaverClass");
    if (!current.classRegisters) {
        return false;
    }
    current.windowProc = desc.procedure;
    return true;
}

HWND createWindow(const SaverWindowDesc& desc) {
    record("createWindow", desc.title);
    current.createdWindows.push_back(desc);
    current.createdTitles.push_back(desc.title);
    HWND created = current.nextCreatedWindow;
    if (created != nullptr) {
        current.windows.insert(created);
        if (desc.parent != nullptr) {
            current.parents[created] = desc.parent;
        }
        current.windowProc(created, WM_CREATE, 0, 0);
    }
    return created;
}

int runMessageLoop() {
    record("runMessageLoop");
    if (current.duringLoop) {
        current.duringLoop();
    }
    return current.loopExitCode;
}

LRESULT defaultWindowProc(HWND window, UINT message, WPARAM, LPARAM) {
    record("defaultWindowProc", std::to_string(message));
    if (message == WM_CLOSE) {
        // The default handling of a close request destroys the window.
        current.windowProc(window, WM_DESTROY, 0, 0);
        current.windows.erase(window);
    }
    return 0;
}

bool postMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    current.posted.push_back({window, message, wParam, lParam});
    return true;
}

LRESULT sendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    record("sendMessage", std::to_string(message));
    return current.windowProc(window, message, wParam, lParam);
}

void postQuitMessage(int code) {
    current.quitCodes.push_back(code);
}

bool removePendingTimer(HWND) {
    if (current.pendingTimers == 0) {
        return false;
    }
    --current.pendingTimers;
    ++current.removedTimers;
    return true;
}

UINT registerWindowMessage(const char* name) {
    record("registerWindowMessage", name);
    return current.nextRegisteredMessage;
}

bool setTimer(HWND window, UINT_PTR id, UINT periodMs) {
    record("setTimer",
           handleText(window) + "," + std::to_string(id) + "," + std::to_string(periodMs));
    return true;
}

bool killTimer(HWND window, UINT_PTR id) {
    record("killTimer", handleText(window) + "," + std::to_string(id));
    return true;
}

bool cursorPosition(POINT* position) {
    if (!current.cursorKnown) {
        return false;
    }
    *position = current.cursor;
    return true;
}

void hideCursor() {
    ++current.hideCursorCount;
}

INT_PTR runDialog(HINSTANCE, int templateId, HWND owner, DLGPROC procedure, LPARAM) {
    record("runDialog", std::to_string(templateId) + "," + handleText(owner));
    if (current.dialogFails) {
        return -1;
    }
    HWND dialog = window(0xD1A);
    current.dialogEnded = false;
    procedure(dialog, WM_INITDIALOG, 0, 0);
    // A click elsewhere is not an answer; then the scripted button.
    procedure(dialog, WM_COMMAND, 1000, 0);
    procedure(dialog, WM_COMMAND, static_cast<WPARAM>(current.dialogCommand), 0);
    return current.dialogEnded ? current.dialogResult : -1;
}

bool endDialog(HWND, INT_PTR result) {
    record("endDialog", std::to_string(result));
    current.dialogEnded = true;
    current.dialogResult = result;
    return true;
}

HMODULE loadedModule(const char* name) {
    record("loadedModule", name);
    auto found = current.loadedModules.find(name);
    return found == current.loadedModules.end() ? nullptr : found->second;
}

HMODULE loadSystemLibrary(const char* name) {
    record("loadSystemLibrary", name);
    current.loadedLibraryNames.push_back(name);
    auto found = current.systemLibraries.find(name);
    return found == current.systemLibraries.end() ? nullptr : found->second;
}

void freeLibrary(HMODULE module) {
    record("freeLibrary", handleText(module));
}

FARPROC procAddress(HMODULE module, const char* name) {
    auto found = current.procs.find(handleText(module) + ":" + name);
    return found == current.procs.end() ? nullptr : found->second;
}

bool readUserDword(const char* key, const char* value, DWORD* result) {
    record("readUserDword", std::string(key) + "," + value);
    if (!current.registryHasPasswordValue) {
        return false;
    }
    *result = current.usePassword;
    return true;
}

void systemParameter(UINT action, UINT value) {
    record("systemParameter", std::to_string(action) + "," + std::to_string(value));
    current.systemParameters.push_back(value);
}

HDC windowDeviceContext(HWND window) {
    record("windowDeviceContext", handleText(window));
    return reinterpret_cast<HDC>(0xDC);
}

void releaseDeviceContext(HWND window, HDC dc) {
    record("releaseDeviceContext", handleText(window) + "," + handleText(dc));
}

bool setPixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR&) {
    record("setPixelFormat", handleText(dc));
    return current.pixelFormatSets;
}

HGLRC createGLContext(HDC dc) {
    record("createGLContext", handleText(dc));
    return current.contextCreates ? reinterpret_cast<HGLRC>(0x6C) : nullptr;
}

bool makeCurrent(HDC dc, HGLRC context) {
    record("makeCurrent", handleText(dc) + "," + handleText(context));
    return context == nullptr || current.makeCurrentWorks;
}

void swapBuffers(HDC dc) {
    record("swapBuffers", handleText(dc));
}

void deleteGLContext(HGLRC context) {
    record("deleteGLContext", handleText(context));
}

bool swapKeepsBackBuffer(HDC dc) {
    record("swapKeepsBackBuffer", handleText(dc));
    return current.swapKeepsBackBuffer;
}

GLEntryPoint glEntryPoint(const char* name) {
    auto found = current.glEntryPoints.find(name);
    return found == current.glEntryPoints.end() ? nullptr : found->second;
}

Platform& table() {
    static Platform installed;
    return installed;
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

int State::countCalls(const std::string& name) const {
    int count = 0;
    for (const std::string& call : calls) {
        if (call.compare(0, name.size() + 1, name + "(") == 0) {
            ++count;
        }
    }
    return count;
}

void State::addProc(HMODULE module, const std::string& name, FARPROC proc) {
    procs[handleText(module) + ":" + name] = proc;
}

State& reset() {
    current = State{};
    hostState = SaverHostState{};
    table() = makeTable();
    installPlatform(table());
    return current;
}

State& state() {
    return current;
}

void setLimits(const PlatformLimits& limits) {
    table().limits = limits;
}

LRESULT deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return current.windowProc(window, message, wParam, lParam);
}

int postedCount(HWND window, UINT message) {
    int count = 0;
    for (const Message& m : current.posted) {
        if (m.window == window && m.message == message) {
            ++count;
        }
    }
    return count;
}

} // namespace fake
