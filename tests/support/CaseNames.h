#pragma once

#include <string>
#include <string_view>

// A test case name for a value's text: "Text" followed by its letters and digits, with
// every other character spelled out ("$10" gives "TextDollar10", " 7" "TextBlank7");
// the empty text is "Empty". Distinct texts give distinct names.
std::string caseName(std::string_view text);
