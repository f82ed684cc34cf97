#include "platform/utf8_step.h"

const char* nextUtf8Character(const char* text) {
    if (*text == 0) {
        return text;
    }
    const char* next = text + 1;
    while ((static_cast<unsigned char>(*next) & 0xC0) == 0x80) {
        ++next;
    }
    return next;
}
