#pragma once

#include <string>
#include <string_view>

// The game writes its INI files as 8-bit text, or as UTF-16 LE with a byte-order mark
// when they hold characters outside the code page. The INI rules work on 8-bit text;
// these convert a UTF-16 file to UTF-8 for them and back, losslessly, so that every
// line a write does not change keeps its bytes.
namespace iniencoding {

enum class Encoding {
    EightBit, // bytes as they are (a UTF-8 mark, if any, stays part of the text)
    Utf16Le,  // starts with FF FE; a stray last byte is dropped
};

struct DecodedFile {
    Encoding encoding = Encoding::EightBit;
    std::string text;
};

// Takes the bytes over: an 8-bit file becomes its text without a copy.
DecodedFile decode(std::string bytes);

// The bytes to store for `text` in the given encoding (with the mark for UTF-16).
std::string encode(std::string_view text, Encoding encoding);

} // namespace iniencoding
