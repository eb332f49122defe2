#include "platform/ErrorText.h"

#include "platform/FileSystemCalls.h"

namespace errortext {

std::string describe(const std::error_code& error) {
    return filestore::sys::describe(error);
}

std::string systemError(const std::error_code& error) {
    if (!error)
        return "A call to an OS function failed";
    return "System Error.  Code: " + std::to_string(error.value()) + ".\r\n" + describe(error);
}

} // namespace errortext
