#pragma once

#include "settings/Catalogue.h"

#include <exception>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// What a load that stopped at an error left behind: the settings from the stopping row
// on still show values that no game file gave them (at start-up, the window's built-in
// ones). Each is settled again when a load, the player, a preset or an import sets it.
class StoppedLoad {
public:
    // The load stopped with `error`; `unread` are the rows it did not get to.
    void stopAt(std::span<const CatalogueRow> unread, std::exception_ptr error);
    void settle(std::string_view control);

    bool settled() const { return m_unread.empty(); }
    // Whether the control still holds a value that came from neither the files nor the player.
    bool unread(std::string_view control) const { return m_unread.count(control) != 0; }
    // Tells the player, in plain words, which settings a write to `file` left out and
    // why; empty when every setting is settled.
    std::string unwrittenNotice(const std::string& file) const;

private:
    std::set<std::string_view> m_unread;
    std::exception_ptr m_error;
};
