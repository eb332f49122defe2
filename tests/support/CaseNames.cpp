#include "CaseNames.h"

#include <cctype>

std::string caseName(std::string_view text) {
    if (text.empty())
        return "Empty";
    std::string name = "Text";
    for (const char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            name += c;
            continue;
        }
        switch (c) {
        case ' ':
            name += "Blank";
            break;
        case '\t':
            name += "Tab";
            break;
        case '$':
            name += "Dollar";
            break;
        case '-':
            name += "Minus";
            break;
        case '+':
            name += "Plus";
            break;
        case '.':
            name += "Point";
            break;
        case ',':
            name += "Comma";
            break;
        default:
            name += "Char" + std::to_string(static_cast<unsigned char>(c));
            break;
        }
    }
    return name;
}
