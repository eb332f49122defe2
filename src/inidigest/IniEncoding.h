#pragma once

#include <string>
#include <string_view>

// The game writes its INI files as 8-bit text, or as UTF-16 LE with a byte-order mark
// when they hold characters outside the code page; editors and converters also leave
// UTF-16 BE files, and UTF-16 files without a mark. The INI rules work on 8-bit text;
// these convert a UTF-16 file to UTF-8 for them and back, losslessly, so that every
// line a write does not change keeps its bytes and a UTF-16 file never gets 8-bit lines.
namespace iniencoding {

enum class Encoding {
    EightBit,        // bytes as they are (a UTF-8 mark, if any, stays part of the text)
    Utf16Le,         // starts with FF FE; a stray last byte is dropped
    Utf16Be,         // starts with FE FF
    Utf16LeUnmarked, // no mark, but its start is evidently UTF-16 text: NUL after every ASCII byte
    Utf16BeUnmarked, // no mark, NUL before every ASCII byte
};

struct DecodedFile {
    Encoding encoding = Encoding::EightBit;
    std::string text;
};

// Takes the bytes over: an 8-bit file becomes its text without a copy.
DecodedFile decode(std::string bytes);

// The bytes to store for `text` in the given encoding (with the mark if it had one).
std::string encode(std::string_view text, Encoding encoding);

} // namespace iniencoding
