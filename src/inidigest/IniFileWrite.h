#pragma once

#include "inidigest/IniEncoding.h"
#include "platform/FileStore.h"

#include <optional>
#include <string>
#include <string_view>

// What every write of an INI file shares: the version of the file it starts from, the
// bytes it stores, and the texts of its failures. Used only inside the INI layer.
namespace inifilewrite {

std::string unableToWrite(const std::string& path);
std::string tooLarge(const std::string& path);
std::string wouldGrow(const std::string& path);

// The file's text as a write starts from it, and which version of the file that was.
struct Version {
    iniencoding::DecodedFile file;
    filestore::FileStamp stamp;
};

// Reads the file for a write, once another program has finished writing it; nullopt
// when it keeps changing (worth another try). Throws the write's error when the file
// cannot be read, is too large, or is read-only (even when the value is already there).
std::optional<Version> readForWrite(const std::string& path);

// Whether `text` stored in `encoding` stays within the size limit.
bool fitsSizeLimit(std::string_view text, iniencoding::Encoding encoding);
// Whether any text of `textSize` bytes stored in `encoding` surely stays within it.
bool fitsSizeLimit(std::size_t textSize, iniencoding::Encoding encoding);

// The bytes to store for `text`, in the file's own encoding (a UTF-16 file never gets
// 8-bit text); throws when they would pass the size limit.
std::string bytesToStore(const std::string& path, std::string_view text, iniencoding::Encoding encoding);

} // namespace inifilewrite
