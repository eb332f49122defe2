#include "TextLines.h"

std::vector<std::string> linesOf(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(pos));
            break;
        }
        ++end;
        if (text[end - 1] == '\r' && end < text.size() && text[end] == '\n')
            ++end;
        lines.emplace_back(text.substr(pos, end - pos));
        pos = end;
    }
    return lines;
}
