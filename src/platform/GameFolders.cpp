#include "platform/GameFolders.h"

#include "platform/FileStore.h"

#include "platform/SteamLibraries.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace gamefolders {

namespace fs = std::filesystem;

namespace {

fs::path fromUtf8(std::string_view text) {
    return filestore::toPath(text);
}

std::string toUtf8(const fs::path& path) {
    return filestore::pathText(path);
}

// Native separators, and no trailing separator unless the path is a root.
fs::path tidy(fs::path path) {
    path.make_preferred();
    while (!path.has_filename() && path.has_relative_path()) {
        path = path.parent_path();
    }
    return path;
}

// What decides whether two spellings name the same folder: the resolved path where the
// file system can tell, the lexically normal one otherwise.
fs::path sameness(const fs::path& path) {
    std::error_code error;
    fs::path resolved = fs::weakly_canonical(path, error);
    if (error) {
        resolved = path;
    }
    return tidy(resolved.lexically_normal());
}

bool isFolder(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

// An ordered list of folders that keeps only the first spelling of each place.
class FolderList {
public:
    void add(const fs::path& folder) {
        if (folder.empty()) {
            return;
        }
        fs::path key = sameness(folder);
        if (std::find(keys_.begin(), keys_.end(), key) != keys_.end()) {
            return;
        }
        keys_.push_back(std::move(key));
        folders_.push_back(tidy(folder));
    }

    const std::vector<fs::path>& folders() const { return folders_; }

private:
    std::vector<fs::path> keys_;
    std::vector<fs::path> folders_;
};

fs::path desktopDocuments(const SearchEnvironment& environment) {
    if (!environment.xdgDocuments.empty()) {
        return tidy(fromUtf8(environment.xdgDocuments));
    }
    if (!environment.home.empty()) {
        return tidy(fromUtf8(environment.home) / "Documents");
    }
    return {};
}

std::vector<fs::path> steamLibraries(const std::string& home) {
    if (home.empty()) {
        return {};
    }
    const fs::path homePath = fromUtf8(home);
    const fs::path roots[] = {
        homePath / ".steam" / "steam",
        homePath / ".local" / "share" / "Steam",
        homePath / ".var" / "app" / "com.valvesoftware.Steam" / ".local" / "share" / "Steam",
    };
    FolderList libraries;
    for (const fs::path& root : roots) {
        if (!isFolder(root)) {
            continue;
        }
        libraries.add(root);
        for (const char* listing : {"steamapps/libraryfolders.vdf", "config/libraryfolders.vdf"}) {
            for (const std::string& library : steamlibraries::readLibraryFolders(root / fs::path(listing))) {
                const fs::path path = fromUtf8(library);
                // A relative entry (a drive-letter path copied from another system,
                // say) says nothing about this machine.
                if (path.is_absolute() && isFolder(path)) {
                    libraries.add(path);
                }
            }
        }
    }
    return libraries.folders();
}

std::vector<fs::path> candidates(const SearchEnvironment& environment) {
    FolderList folders;
    folders.add(desktopDocuments(environment));

    const fs::path protonDocuments = fs::path("steamapps") / "compatdata" / fromUtf8(kSteamAppId) / "pfx" /
                                     "drive_c" / "users" / "steamuser" / "Documents";
    for (const fs::path& library : steamLibraries(environment.home)) {
        folders.add(library / protonDocuments);
    }

    fs::path prefix;
    if (!environment.winePrefix.empty()) {
        prefix = fromUtf8(environment.winePrefix);
    } else if (!environment.home.empty()) {
        prefix = fromUtf8(environment.home) / ".wine";
    }
    if (!prefix.empty() && !environment.userName.empty()) {
        const fs::path user = prefix / "drive_c" / "users" / fromUtf8(environment.userName);
        folders.add(user / "Documents");
        folders.add(user / "My Documents");
    }
    return folders.folders();
}

bool holdsConfig(const fs::path& documents) {
    std::error_code error;
    return fs::is_regular_file(documents / fromUtf8(kEngineIniBelowDocuments), error);
}

} // namespace

std::vector<std::string> steamLibraryFolders(const std::string& home) {
    std::vector<std::string> result;
    for (const fs::path& library : steamLibraries(home)) {
        result.push_back(toUtf8(library));
    }
    return result;
}

std::vector<std::string> documentsFolderCandidates(const SearchEnvironment& environment) {
    std::vector<std::string> result;
    for (const fs::path& folder : candidates(environment)) {
        result.push_back(toUtf8(folder));
    }
    return result;
}

bool holdsGameConfig(const std::string& documents) {
    return !documents.empty() && holdsConfig(fromUtf8(documents));
}

std::string findDocumentsFolder(const SearchEnvironment& environment) {
    for (const fs::path& folder : candidates(environment)) {
        if (holdsConfig(folder)) {
            return toUtf8(folder);
        }
    }
    return toUtf8(desktopDocuments(environment));
}

} // namespace gamefolders
