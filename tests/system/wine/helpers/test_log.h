// Appends one line to the file named by HAZE_TEST_LOG, so a shell test can
// see what a test library was asked and when.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>

inline void testLog(const char* format, unsigned long long a = 0, const char* text = "") {
    char path[MAX_PATH];
    if (GetEnvironmentVariableA("HAZE_TEST_LOG", path, MAX_PATH) == 0) {
        return;
    }
    std::FILE* file = std::fopen(path, "a");
    if (file == nullptr) {
        return;
    }
    std::fprintf(file, format, a, text);
    std::fputc('\n', file);
    std::fclose(file);
}
