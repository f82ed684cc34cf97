// The host's one process-wide record and the identifiers it shares with the
// desktop.
#pragma once

#include "platform/messages.h"

// Resources the host asks the module for.
constexpr int SaverIconId = 100;
constexpr int DialogTemplateId = 2003;

// The private message the host sends its own window to run the password
// verifier inside the window procedure (the first application message).
constexpr UINT VerifyPasswordMessage = 0x8000;

// The class that marks a saver window, and the titles of its two forms; a
// running full-screen instance is found by class and title.
constexpr const char* SaverClassName = "WindowsScreenSaverClass";
constexpr const char* FullScreenTitle = "Screen Saver";
constexpr const char* PreviewTitle = "Preview";

// Entry points of the system libraries the host uses when present.
using VerifyScreenSavePwdProc = BOOL(WINAPI*)(HWND window);
using ImmAssociateContextProc = HIMC(WINAPI*)(HWND window, HIMC context);
using PwdChangePasswordAProc = DWORD(WINAPI*)(LPCSTR provider, HWND window, DWORD reserved1,
                                              LPVOID reserved2);

// "Never verified": no 200 ms gate applies before the first verification.
constexpr DWORD NeverVerified = 0xFFFFFFFF;

// Why the dispatch refused a command line (SaverMain's -1), for a program
// that tells the person who typed it.
enum class SwitchRefusal {
    None,
    UnknownSwitch,     // no switch the dispatch knows
    MalformedWindowId, // a preview switch without a decimal window id
    NotAWindow,        // a preview switch naming no window
    NoForeignWindows,  // a preview switch where the window system cannot draw in another's window
};

struct SaverHostState {
    HINSTANCE instance = nullptr; // given to SaverMain; class, icon and dialog
    HWND window = nullptr;        // the saver window once created
    int isPreview = 0;            // 1: a child of a given parent window
    int closing = 0;              // 1: allowed to end; input and timers no longer reach the app
    int verifying = 0;            // 1 while a password verification is under way
    int isWindows9x = 0;          // 1 on the Windows 98 family: password and AutoPlay rules apply
    HMODULE passwordModule = nullptr;                 // the loaded verifier library
    VerifyScreenSavePwdProc verifyPassword = nullptr; // its entry point
    UINT autoPlayMessage = 0;    // registered "QueryCancelAutoPlay" on Windows 98, else 0
    HMODULE imeModule = nullptr; // the input-method library, when already loaded
    ImmAssociateContextProc associateContext = nullptr;
    HIMC savedInputContext = nullptr; // the window's input context, detached at creation
    POINT cursorReference = {0, 0};   // screen position mouse travel is measured from
    // Whether `cursorReference` holds where the pointer was seen; when the
    // window system could not say at the start, the first motion sets it.
    bool cursorReferenceKnown = false;
    UINT mouseThreshold = 4;              // pixels of travel (|dx| + |dy|) a run tolerates
    DWORD lastVerifyTick = NeverVerified; // tick count at the end of the last verification
    // The dispatch's last refusal, the switch letter it read ('\0': none) and
    // the text the refusal is about, within the command tail it was given.
    SwitchRefusal refusal = SwitchRefusal::None;
    char refusedSwitch = '\0';
    const char* refusedArgument = "";
};

extern SaverHostState hostState;
