#include "platform/UserFolders.h"

#ifndef _WIN32
#include <cstdlib>
#include <filesystem>

#include <pwd.h>
#include <unistd.h>
#endif

namespace userfolders {

std::string homeFolder() {
#ifdef _WIN32
    return {};
#else
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    const passwd* user = ::getpwuid(::getuid());
    return user && user->pw_dir ? std::string(user->pw_dir) : std::string();
#endif
}

std::string loginName() {
#ifdef _WIN32
    return {};
#else
    for (const char* variable : {"USER", "LOGNAME"})
        if (const char* name = std::getenv(variable); name && *name)
            return name;
    const passwd* user = ::getpwuid(::getuid());
    return user && user->pw_name ? std::string(user->pw_name) : std::string();
#endif
}

std::string programFolder() {
#ifdef _WIN32
    return {};
#else
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : program.parent_path().native();
#endif
}

} // namespace userfolders
