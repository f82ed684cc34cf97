#include "platform/platform.h"

#include <cassert>

namespace {
const Platform* installed = nullptr;
} // namespace

const Platform& platform() {
    assert(installed != nullptr && "a backend installs its platform before the saver runs");
    return *installed;
}

void installPlatform(const Platform& backend) {
    installed = &backend;
}

HMODULE noSystemLibrary(const char*) {
    return nullptr;
}

void noLibraryToFree(HMODULE) {}

FARPROC noProcedure(HMODULE, const char*) {
    return nullptr;
}

bool noUserValue(const char*, const char*, DWORD*) {
    return false;
}

void noSystemParameter(UINT, UINT) {}
