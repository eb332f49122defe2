#pragma once

#include "platform/FileStore.h"
#include "platform/FileSystemCalls.h"

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <system_error>

// For the files that a replacement could not keep what they are (see Replacement).
namespace filestore::inplace {

// Writes `bytes` over the open file, `size` bytes long now, and cuts it to their length;
// the room for the larger of both sizes is taken first. Flushes.
std::error_code overwrite(sys::Handle& file, std::uint64_t size, std::string_view bytes);

// Rewrites `file` with `bytes` through a rollback journal: after a failure at once, and
// after a crash once start-up has recovered, the file is its whole old or its whole new
// content. Only the file looked at before (`checked`: its device and number) is written;
// with `expected`, only while it still is that version. `written` is the new version, as
// the system stamped it once the file was closed.
std::error_code rewrite(const std::filesystem::path& file, const FileStamp& checked, std::string_view bytes,
                        const FileStamp* expected, FileStamp& written);

} // namespace filestore::inplace
