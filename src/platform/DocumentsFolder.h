#pragma once

#include <string>

namespace userfolders {

// The documents folder whose "My Games" holds the game's configuration, without a
// trailing separator. On Windows the game keeps its files right in `desktopDocuments`;
// elsewhere it runs under Wine or Proton, and the search of GameFolders.h chooses among
// the desktop's folder, the Proton prefixes and the Wine prefix.
std::string gameDocumentsFolder(const std::string& desktopDocuments);

} // namespace userfolders
