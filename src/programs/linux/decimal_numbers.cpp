#include "programs/linux/decimal_numbers.h"

#include <cstdlib>

namespace cli {

// A whole decimal number of digits only (no sign, no blanks) within `limit`.
bool parseDecimal(const std::string& text, unsigned long long limit, unsigned long long& value) {
    if (text.empty() || text.size() > 20) {
        return false;
    }
    unsigned long long result = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        const unsigned digit = static_cast<unsigned>(c - '0');
        if (result > (limit - digit) / 10) {
            return false;
        }
        result = result * 10 + digit;
    }
    value = result;
    return true;
}

// A decimal number with at most one '.' and nothing else (no sign,
// exponent, hex or blanks) within `limit`.
bool parseDecimalFraction(const std::string& text, double limit, double& value) {
    const std::size_t point = text.find('.');
    const std::string whole = text.substr(0, point);
    const std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
    const auto digitsOnly = [](const std::string& part) {
        return part.find_first_not_of("0123456789") == std::string::npos;
    };
    if (whole.size() + fraction.size() == 0 || !digitsOnly(whole) || !digitsOnly(fraction)) {
        return false;
    }
    // The text holds digits and one point only, which strtod reads alike in
    // every locale that uses '.' (haze sets none).
    const double parsed = std::strtod(text.c_str(), nullptr);
    if (!(parsed <= limit)) {
        return false;
    }
    value = parsed;
    return true;
}

bool parseHex(const std::string& text, unsigned long long limit, unsigned long long& value) {
    if (text.empty() || text.size() > 16) {
        return false;
    }
    unsigned long long result = 0;
    for (char c : text) {
        unsigned digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return false;
        }
        if (result > (limit - digit) / 16) {
            return false;
        }
        result = result * 16 + digit;
    }
    value = result;
    return true;
}

// WIDTHxHEIGHT+X+Y: a size of at least one pixel each way and a corner, all
// whole numbers up to maximumSize.
bool parseMonitor(const std::string& text, MonitorGeometry& monitor) {
    const std::size_t cross = text.find_first_of("xX");
    const std::size_t plus = text.find('+');
    const std::size_t plus2 = plus == std::string::npos ? plus : text.find('+', plus + 1);
    unsigned long long fields[4] = {};
    if (cross == std::string::npos || plus2 == std::string::npos || plus < cross ||
        !parseDecimal(text.substr(0, cross), maximumSize, fields[0]) ||
        !parseDecimal(text.substr(cross + 1, plus - cross - 1), maximumSize, fields[1]) ||
        !parseDecimal(text.substr(plus + 1, plus2 - plus - 1), maximumSize, fields[2]) ||
        !parseDecimal(text.substr(plus2 + 1), maximumSize, fields[3]) || fields[0] == 0 ||
        fields[1] == 0) {
        return false;
    }
    monitor.width = static_cast<int>(fields[0]);
    monitor.height = static_cast<int>(fields[1]);
    monitor.x = static_cast<int>(fields[2]);
    monitor.y = static_cast<int>(fields[3]);
    return true;
}

} // namespace cli
