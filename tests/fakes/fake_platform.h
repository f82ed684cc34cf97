// A recording fake of the platform seam for host and app tests.
//
// Every call is logged with its arguments; the answers are fields a test sets
// before it runs the code under test. sendMessage and createWindow deliver to
// the registered window procedure as the real systems do, so re-entrance
// (the password verification) runs the genuine chain of procedures.
#pragma once

#include "platform/platform.h"

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fake {

// Handles are plain numbers in the fake.
inline HWND window(std::uintptr_t id) {
    return reinterpret_cast<HWND>(id);
}
inline HMODULE module(std::uintptr_t id) {
    return reinterpret_cast<HMODULE>(id);
}

struct Message {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct State {
    // --- answers ---
    bool versionQueryWorks = true;
    bool doubleByteCodePage = true; // false: one byte is one character, as in code page 1252
    DWORD platformId = 2;           // 2: the NT family; 1: the Windows 98 family
    DWORD tick = 100000;
    std::set<HWND> windows;           // handles for which isWindow is true
    HWND foreground = window(0xF0F0); // the foreground window
    HWND runningSaver = nullptr;      // what findWindow answers
    std::map<HWND, HWND> parents;
    std::map<HWND, RECT> clientRects;
    RECT screen = {0, 0, 1280, 1024};
    std::vector<RECT> monitors; // what monitorRects reports, for any window
    bool classRegisters = true;
    HWND nextCreatedWindow = window(0x5A5A);
    int loopExitCode = 0;
    std::function<void()> duringLoop; // what happens while the message loop runs
    POINT cursor = {0, 0};
    bool cursorKnown = true; // false: cursorPosition cannot say where the pointer is
    int pendingTimers = 0;
    UINT nextRegisteredMessage = 0xC123;
    INT_PTR dialogCommand = IDOK; // the button the fake dialog "presses"
    bool dialogFails = false;
    bool registryHasPasswordValue = false;
    DWORD usePassword = 0;
    std::map<std::string, HMODULE> systemLibraries; // loadable by name
    std::map<std::string, HMODULE> loadedModules;   // already in the process
    std::map<std::string, FARPROC> procs;           // by "module-id:name"
    // The GL surface: what each step answers, and the GL entry points
    // glEntryPoint finds (by name).
    bool pixelFormatSets = true;
    bool contextCreates = true;
    bool makeCurrentWorks = true;
    bool swapKeepsBackBuffer = true;
    std::map<std::string, GLEntryPoint> glEntryPoints;

    // --- records ---
    std::vector<std::string> calls; // "name(args)" in order
    std::vector<Message> posted;
    std::vector<int> quitCodes;
    std::vector<SaverWindowDesc> createdWindows;
    std::vector<std::string> createdTitles;
    std::vector<std::string> loadedLibraryNames;
    std::vector<UINT> systemParameters; // value of each SPI call, in order
    int hideCursorCount = 0;
    int yieldCount = 0;
    int removedTimers = 0;
    WNDPROC windowProc = nullptr;
    std::vector<UINT> appMessages; // what reached the application's procedure
    INT_PTR dialogResult = -2;
    bool dialogEnded = false;

    int countCalls(const std::string& name) const;
    void addProc(HMODULE module, const std::string& name, FARPROC proc);
};

// Installs the fake as the platform and returns its fresh state. Also resets
// the host's process-wide record, so every test starts from program start.
State& reset();
State& state();

// What the fake's window system says it cannot do, until the next reset.
void setLimits(const PlatformLimits& limits);

// Delivers a message to the registered window procedure, as the system does
// for an input event.
LRESULT deliver(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// Counts of messages posted to `window`.
int postedCount(HWND window, UINT message);

} // namespace fake
