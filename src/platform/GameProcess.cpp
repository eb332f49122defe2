#include "platform/GameProcess.h"

#include <algorithm>
#include <cctype>

namespace gameprocess {
namespace {

bool sameLetters(char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

} // namespace

bool namesGameExecutable(std::string_view name) {
    // Wine shows a Windows program's first argument as its Windows path.
    const std::size_t cut = name.find_last_of("/\\");
    if (cut != std::string_view::npos)
        name.remove_prefix(cut + 1);
    return std::equal(name.begin(), name.end(), kGameExecutable.begin(), kGameExecutable.end(), sameLetters);
}

} // namespace gameprocess
