#pragma once

#include <string>
#include <string_view>
#include <vector>

// Finds the documents folder that holds the game's "My Games" configuration. On Windows
// that is simply the user's documents folder; on Linux the game runs under Wine or
// Proton, so its documents folder usually lies inside a Wine prefix.
namespace gamefolders {

// The game's Steam app id; Proton keeps one prefix per app under compatdata/<id>.
inline constexpr std::string_view kSteamAppId = "13210";

// Where the engine settings lie below a documents folder. The presence of this file
// marks a documents folder as the game's.
inline constexpr std::string_view kEngineIniBelowDocuments =
    "My Games/Unreal Tournament 3/UTGame/Config/UTEngine.ini";

// What the search starts from, as UTF-8 text; an empty value means "not known".
struct SearchEnvironment {
    std::string home;         // the user's home folder
    std::string xdgDocuments; // the documents folder as the desktop reports it
    std::string winePrefix;   // WINEPREFIX when set, else empty (then ~/.wine is used)
    std::string userName;     // the login name, which Wine uses below drive_c/users
};

// Steam library folders that exist: each Steam installation root (~/.steam/steam,
// ~/.local/share/Steam, the Flatpak one) followed by the libraries listed in its
// steamapps/libraryfolders.vdf and config/libraryfolders.vdf. Folders that resolve to
// the same place appear once, in their first spelling.
std::vector<std::string> steamLibraryFolders(const std::string& home);

// The documents folders to look in, best first, without trailing separators:
//   1. the desktop's documents folder (home/Documents when the caller knows none);
//   2. the game's Proton prefix in every Steam library:
//      <library>/steamapps/compatdata/13210/pfx/drive_c/users/steamuser/Documents;
//   3. the Wine prefix: drive_c/users/<user>/Documents, then .../My Documents.
// Folders that resolve to the same place (symbolic links, "..", repeated separators)
// are listed once.
std::vector<std::string> documentsFolderCandidates(const SearchEnvironment& environment);

bool holdsGameConfig(const std::string& documents);

// The first candidate that holds the game's engine settings file; when none does, the
// desktop's documents folder (the first candidate), where the game would create it.
std::string findDocumentsFolder(const SearchEnvironment& environment);

} // namespace gamefolders
