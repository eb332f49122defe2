#pragma once

#include <span>
#include <string_view>

// What the description panel shows while the pointer is over a control.
struct Description {
    std::string_view control; // a check box or the caption label of an edit field
    std::string_view title;
    std::string_view text; // may hold "\r\n" line breaks
};

// The 73 entries, in window order (group by group, top to bottom).
std::span<const Description> descriptions();

const Description* findDescription(std::string_view control);
