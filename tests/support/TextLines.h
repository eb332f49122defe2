#pragma once

#include <string>
#include <string_view>
#include <vector>

// The lines of `text`, each with its own line end (CR LF, LF or CR), split as the INI
// rules split them: for comparing files line by line.
std::vector<std::string> linesOf(std::string_view text);
