#include "inidigest/IniValues.h"

#include "inidigest/IniError.h"

#include <cctype>
#include <cstdlib>
#include <string>

namespace inivalues {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexDigit(char c) {
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string_view skipLeadingSpaces(std::string_view s) {
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    return s;
}

bool takeSign(std::string_view& s) {
    if (s.empty() || (s.front() != '+' && s.front() != '-'))
        return false;
    const bool negative = s.front() == '-';
    s.remove_prefix(1);
    return negative;
}

bool takeHexPrefix(std::string_view& s) {
    for (std::string_view prefix : {"0x", "0X", "$", "x", "X"}) {
        if (s.starts_with(prefix)) {
            s.remove_prefix(prefix.size());
            return true;
        }
    }
    return false;
}

std::optional<std::int32_t> parseHex(std::string_view digits, bool negative) {
    if (digits.empty() || digits.size() > 8)
        return std::nullopt;
    std::uint32_t pattern = 0;
    for (char c : digits) {
        const int d = hexDigit(c);
        if (d < 0)
            return std::nullopt;
        pattern = pattern * 16 + static_cast<std::uint32_t>(d);
    }
    if (negative)
        pattern = 0u - pattern;
    return static_cast<std::int32_t>(pattern);
}

std::optional<std::int32_t> parseDecimal(std::string_view digits, bool negative) {
    if (digits.empty())
        return std::nullopt;
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    std::int64_t value = 0;
    for (char c : digits) {
        if (!isDigit(c))
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > limit)
            return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

std::size_t digitRun(std::string_view s) {
    std::size_t n = 0;
    while (n < s.size() && isDigit(s[n]))
        ++n;
    return n;
}

// The number syntax shared by the float check and the lenient boolean read. Returns the
// number of mantissa digits, or nullopt when the text is not of that form.
std::optional<std::size_t> matchNumber(std::string_view s, char separator) {
    s = skipLeadingSpaces(s);
    takeSign(s);
    if (s.empty())
        return std::nullopt;
    std::size_t digits = digitRun(s);
    s.remove_prefix(digits);
    if (!s.empty() && s.front() == separator) {
        s.remove_prefix(1);
        const std::size_t fraction = digitRun(s);
        digits += fraction;
        s.remove_prefix(fraction);
    }
    if (!s.empty() && (s.front() == 'e' || s.front() == 'E')) {
        s.remove_prefix(1);
        takeSign(s);
        const std::size_t exponent = digitRun(s);
        if (exponent == 0)
            return std::nullopt;
        s.remove_prefix(exponent);
    }
    if (!s.empty())
        return std::nullopt;
    return digits;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

std::optional<std::int32_t> parseInteger(std::string_view text) {
    std::string_view s = skipLeadingSpaces(text);
    const bool negative = takeSign(s);
    if (takeHexPrefix(s))
        return parseHex(s, negative);
    return parseDecimal(s, negative);
}

bool isFloatText(std::string_view text) {
    return matchNumber(text, '.').has_value();
}

bool parseBoolean(std::string_view text, char decimalSeparator) {
    // A number needs at least one digit: "." or "e5" alone are no numbers here.
    if (auto digits = matchNumber(text, decimalSeparator); digits && *digits > 0) {
        const std::string_view mantissa = text.substr(0, text.find_first_of("eE"));
        for (char c : mantissa)
            if (isDigit(c) && c != '0')
                return true;
        return false; // a zero mantissa is zero, whatever the exponent
    }
    if (equalsIgnoringCase(text, "true"))
        return true;
    if (equalsIgnoringCase(text, "false"))
        return false;
    throw IniError("'" + std::string(text) + "' is not a valid boolean value");
}

std::int32_t toIntegerStrict(std::string_view text) {
    if (auto value = parseInteger(text))
        return *value;
    throw IniError("'" + std::string(text) + "' is not a valid integer value");
}

} // namespace inivalues
