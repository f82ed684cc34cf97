// The one numeric rule of the Linux command line: numbers are decimal digits
// (no sign, blanks, exponent or locale), and only window and visual ids may
// also be written in 0x-hex.
#pragma once

#include "programs/linux/command_options.h"

#include <string>

namespace cli {

// A whole decimal number of digits only within `limit`.
bool parseDecimal(const std::string& text, unsigned long long limit, unsigned long long& value);
// A decimal number with at most one '.' and nothing else, within `limit`.
bool parseDecimalFraction(const std::string& text, double limit, double& value);
// Hexadecimal digits only (the "0x" already taken off), within `limit`.
bool parseHex(const std::string& text, unsigned long long limit, unsigned long long& value);
// WIDTHxHEIGHT+X+Y: a size of at least one pixel each way and a corner, all
// whole numbers up to maximumSize.
bool parseMonitor(const std::string& text, MonitorGeometry& monitor);

} // namespace cli
