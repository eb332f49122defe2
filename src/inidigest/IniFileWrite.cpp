#include "inidigest/IniFileWrite.h"

#include "inidigest/IniError.h"
#include "inidigest/IniLayer.h"

namespace inifilewrite {

std::string unableToWrite(const std::string& path) {
    return "Unable to write to " + path;
}

std::string tooLarge(const std::string& path) {
    return "The ini \"" + path + "\" is larger than 8 MB and cannot be a configuration file.";
}

std::string wouldGrow(const std::string& path) {
    return "The ini \"" + path + "\" would grow larger than 8 MB; nothing was written.";
}

std::optional<Version> readForWrite(const std::string& path) {
    // A write must start from a version that another program has finished writing.
    filestore::ReadResult read = filestore::readSettledFile(filestore::toPath(path), kMaxIniFileSize);
    if (read.error == filestore::FileError::KeepsChanging)
        return std::nullopt;
    if (!read.ok)
        throw IniError(read.error == std::errc::file_too_large ? tooLarge(path) : unableToWrite(path));
    if (read.readOnly)
        throw IniError(unableToWrite(path));
    return Version{iniencoding::decode(std::move(read.bytes)), read.stamp};
}

bool fitsSizeLimit(std::size_t textSize, iniencoding::Encoding encoding) {
    // UTF-16 takes at most two bytes for each byte of the text, and its mark.
    return encoding == iniencoding::Encoding::EightBit ? textSize <= kMaxIniFileSize
                                                       : textSize <= (kMaxIniFileSize - 2) / 2;
}

bool fitsSizeLimit(std::string_view text, iniencoding::Encoding encoding) {
    return fitsSizeLimit(text.size(), encoding) ||
           (encoding != iniencoding::Encoding::EightBit &&
            iniencoding::encode(text, encoding).size() <= kMaxIniFileSize);
}

std::string bytesToStore(const std::string& path, std::string_view text, iniencoding::Encoding encoding) {
    std::string bytes = iniencoding::encode(text, encoding);
    if (bytes.size() > kMaxIniFileSize)
        throw IniError(wouldGrow(path));
    return bytes;
}

} // namespace inifilewrite
