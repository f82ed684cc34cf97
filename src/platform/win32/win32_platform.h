// The Win32 and WGL implementation of the platform seam.
#pragma once

#include "platform/platform.h"

// The table of real Win32 calls; installed by the process entry.
const Platform& win32Platform();
