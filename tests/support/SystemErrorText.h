#pragma once

#include <string>
#include <system_error>

// A system error as the program words it for the player: errno's code and text on POSIX
// systems; on Windows GetLastError's code and the system's own words for it, asked of
// the system here rather than taken from the program.
struct SystemErrorText {
    int code;
    std::string text; // as the system gives it, without a line end
};

SystemErrorText systemErrorText(std::errc posixError, unsigned long windowsCode);

// The text of restore's error: "System Error.  Code: N." and the description.
std::string systemErrorMessage(const SystemErrorText& error);

// The two errors backup and restore meet most.
inline const SystemErrorText kFileNotFound =
    systemErrorText(std::errc::no_such_file_or_directory, 2); // ERROR_FILE_NOT_FOUND
inline const SystemErrorText kAccessDenied =
    systemErrorText(std::errc::permission_denied, 5); // ERROR_ACCESS_DENIED
