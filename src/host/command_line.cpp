#include "host/command_line.h"

#include "platform/platform.h"

#include <cstdint>

namespace {

unsigned char byteAt(const char* text) {
    return static_cast<unsigned char>(*text);
}

} // namespace

const char* ExtractCommandTail(const char* commandLine) {
    const char* (*advance)(const char*) = platform().nextCharacter;
    const char* p = commandLine;
    if (byteAt(p) == '"') {
        // A quoted program path may hold blanks: skip to the closing quote.
        p = advance(p);
        while (byteAt(p) != 0 && byteAt(p) != '"') {
            p = advance(p);
        }
        if (byteAt(p) == '"') {
            p = advance(p);
        }
    } else if (byteAt(p) > 0x20) {
        while (byteAt(p) > 0x20) {
            p = advance(p);
        }
    }
    while (byteAt(p) != 0 && byteAt(p) <= 0x20) {
        p = advance(p);
    }
    return p;
}

HWND ParseWindowHandle(const char* text) {
    std::uint32_t value = 0;
    for (const char* p = text; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10u + static_cast<std::uint32_t>(*p - '0');
    }
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value));
}
