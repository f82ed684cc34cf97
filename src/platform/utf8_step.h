// Stepping through UTF-8 text one character at a time: the multi-byte
// character step of the seam (Platform::nextCharacter) on systems whose
// command lines are UTF-8.
#pragma once

// The character after the one `text` points at: a lead byte and its
// continuation bytes. Never steps past the terminating NUL.
const char* nextUtf8Character(const char* text);
