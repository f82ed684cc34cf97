// Text from the command line or the environment, made safe to show on a
// terminal.
#pragma once

#include <string>

// `text` with every byte that is not printable written as \xHH: control
// characters (C0, DEL and the C1 range a terminal may obey), and bytes that
// are not well-formed UTF-8. Printable ASCII and well-formed UTF-8 letters
// are kept, so a name in any script reads as typed.
std::string printableText(const std::string& text);
