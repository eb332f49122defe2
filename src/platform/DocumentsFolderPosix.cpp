#ifndef _WIN32

#include "platform/DocumentsFolder.h"

#include "platform/GameFolders.h"
#include "platform/UserFolders.h"

#include <cstdlib>

namespace userfolders {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

} // namespace

std::string gameDocumentsFolder(const std::string& desktopDocuments) {
    gamefolders::SearchEnvironment search;
    search.home = homeFolder();
    search.xdgDocuments = desktopDocuments;
    search.winePrefix = environment("WINEPREFIX");
    search.userName = loginName();
    return gamefolders::findDocumentsFolder(search);
}

} // namespace userfolders

#endif // _WIN32
