// Reading the command line the desktop passes a screen saver.
#pragma once

#include "platform/messages.h"

// The text after the program name: skips a leading quoted path (closing quote
// included) or an unquoted one, then blanks and control bytes. Advances with
// the platform's multi-byte character step; never reads past the NUL.
const char* ExtractCommandTail(const char* commandLine);

// Decimal digits up to the first non-digit, in 32-bit arithmetic that wraps
// around; no digits give 0, which every caller treats as no window.
HWND ParseWindowHandle(const char* text);
