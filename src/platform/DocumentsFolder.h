#pragma once

#include <string>

namespace userfolders {

// The documents folder whose "My Games" holds the game's configuration, without a
// trailing separator. `desktopDocuments` is the desktop's documents folder as the
// toolkit reports it (empty when unknown). On Windows the game keeps its files right
// there. Elsewhere the game runs under Wine or Proton, so the search of GameFolders.h
// chooses among the desktop's folder, the game's Proton prefixes and the Wine prefix
// ($WINEPREFIX or ~/.wine), preferring the desktop's when several hold the game.
std::string gameDocumentsFolder(const std::string& desktopDocuments);

} // namespace userfolders
