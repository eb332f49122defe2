#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Conversions between INI text and the kinds of value the window shows.
namespace inivalues {

// Leading spaces, at most one sign, then decimal digits within the signed 32-bit range
// or 1 to 8 hex digits after "$", "x", "X", "0x" or "0X" (taken as a 32-bit pattern, so
// $FFFFFFFF is -1). Nothing may follow the last digit.
std::optional<std::int32_t> parseInteger(std::string_view text);

// Leading spaces, at most one sign, then digits, an optional "." with digits and an
// optional exponent, with at least one character after the sign. "." always separates.
bool isFloatText(std::string_view text);

// A number in the given decimal notation (non-zero is true), else "True" or "False" in
// any case. Anything else, the empty text included, throws IniError.
bool parseBoolean(std::string_view text, char decimalSeparator);

// Text that is not an integer throws IniError "'<text>' is not a valid integer value".
std::int32_t toIntegerStrict(std::string_view text);

inline std::string booleanText(bool value) {
    return value ? "True" : "False";
}

} // namespace inivalues
