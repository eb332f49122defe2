#pragma once

#include <string>
#include <system_error>

// Errors of the system's file calls as the player reads them: in the system's own words
// and, on Windows, with the system's own code (GetLastError's, not the C runtime's).
namespace errortext {

// The system's description of `error` ("Permission denied", "Access is denied.").
std::string describe(const std::error_code& error);

// "System Error.  Code: 5." then a line break and the description; "A call to an OS
// function failed" when there is no error code.
std::string systemError(const std::error_code& error);

} // namespace errortext
