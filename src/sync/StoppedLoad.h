#pragma once

#include "settings/Catalogue.h"

#include <cstddef>
#include <set>
#include <span>
#include <string>
#include <string_view>

// What a load that stopped at an error left behind: settings whose controls hold a value
// that came from neither the game files nor the player (at start-up, the window's
// built-in ones). Each is settled when a load, the player, a preset or an import sets it.
class StoppedLoad {
public:
    // A load stopped at the first of `rest`: `file` (its name) holds `value` there, which
    // failed with `reason`. Only the rows of `rest` never set before become unread.
    void stopAt(std::span<const CatalogueRow> rest, std::string file, std::string value, std::string reason);
    void settle(std::string_view control);

    bool settled() const { return m_unread.empty(); }
    bool unread(std::string_view control) const { return m_unread.count(control) != 0; }
    // After a save: where the load stopped, how many settings the save left as the files
    // have them, and what to mend; empty when every setting is settled.
    std::string unsavedNotice() const;
    // Why an export may not write a tweak file now: it lacks settings that an import
    // reads. Empty when it may.
    std::string exportRefusal() const;

private:
    std::size_t unreadCount(bool importedOnly) const;
    std::string stopLine() const;

    std::set<std::string_view> m_unread;
    std::set<std::string_view> m_given; // controls ever set by a load, the player, a preset or an import
    const CatalogueRow* m_stopRow = nullptr;
    std::string m_file;
    std::string m_value;
    std::string m_reason;
};
