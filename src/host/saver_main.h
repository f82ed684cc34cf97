// Process entry and mode dispatch of the screen saver.
#pragma once

#include "platform/messages.h"

// Extracts the command tail of `commandLine` and ends the process with the
// result of SaverMain. Never returns.
[[noreturn]] void SaverEntry(HINSTANCE instance, const char* commandLine);

// Records the instance, detects the platform family and runs the mode the
// first switch letter names: S full screen, P or L preview, C configuration,
// A password change (Windows 98 family only). The result is the exit code;
// -1 for anything else, with the reason in hostState.refusal.
int SaverMain(HINSTANCE instance, const char* commandTail);

// What the process does with an exception nothing caught: the system must
// not go on believing a password-protected saver runs, so that is switched
// off, and the process may end (the answer is the exception filter's
// "execute the handler").
LONG SaverExceptionFilter();
constexpr LONG RunExceptionHandler = 1;

// Preview inside the window whose decimal handle `text` holds; -1 when that is
// no window, or one the window system cannot draw in (hostState.refusal
// says which).
int RunPreview(const char* text);

// The modal configuration dialog owned by `parent`: 1 for OK, 0 for Cancel.
int ShowConfigureDialog(HWND parent);

// Hands the password change to the system for the window `text` names (else
// the foreground window). Always 0.
int ChangeSaverPassword(const char* text);
