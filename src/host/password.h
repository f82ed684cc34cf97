// The Windows 98 family's screen-saver password, delegated to the system's
// verifier library. On every other platform no verifier is ever loaded and
// these steps reduce to "close at once".
#pragma once

#include "platform/messages.h"

// Minimum time, in milliseconds, between the end of one verification and the
// next request: close requests inside it are refused without asking.
constexpr DWORD VerifyQuietPeriodMs = 200;

// Asks the verifier whether the saver may end; the result also becomes
// `closing`. Returns 0 while a verification runs, once the saver is closing,
// and within the quiet period after the last verification.
int VerifySaverPassword(HWND window);

// Loads "PASSWORD.CPL" and its "VerifyScreenSavePwd" when the desktop asks for
// a password ("ScreenSaveUsePassword" under "Control Panel\Desktop").
void LoadPasswordVerifier();
void UnloadPasswordVerifier();

// Tells the system a password-protected saver is running (Windows 98 family).
void SetSaverRunning(BOOL running);
