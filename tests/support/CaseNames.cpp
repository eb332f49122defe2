#include "CaseNames.h"

#include <cctype>
#include <utility>

namespace {

// The characters a value's text commonly holds besides letters and digits.
constexpr std::pair<char, const char*> kSpelledOut[] = {
    {' ', "Blank"}, {'\t', "Tab"},  {'$', "Dollar"}, {'-', "Minus"},
    {'+', "Plus"},  {'.', "Point"}, {',', "Comma"},
};

std::string spelledOut(char c) {
    for (const auto& [character, name] : kSpelledOut)
        if (c == character)
            return name;
    return "Char" + std::to_string(static_cast<unsigned char>(c));
}

} // namespace

std::string caseName(std::string_view text) {
    if (text.empty())
        return "Empty";
    std::string name = "Text";
    for (const char c : text)
        name += std::isalnum(static_cast<unsigned char>(c)) ? std::string(1, c) : spelledOut(c);
    return name;
}
