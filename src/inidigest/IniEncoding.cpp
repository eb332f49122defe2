#include "inidigest/IniEncoding.h"

#include <cstdint>

namespace iniencoding {
namespace {

constexpr std::string_view kUtf16LeMark = "\xFF\xFE";

// Code points are written as UTF-8; a lone surrogate is written like any other code
// point (three bytes), so that even a damaged file comes back byte for byte.
void appendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void appendUnit(std::string& out, std::uint32_t unit) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
}

void appendUtf16(std::string& out, std::uint32_t c) {
    if (c >= 0x10000) {
        c -= 0x10000;
        appendUnit(out, 0xD800 | (c >> 10));
        appendUnit(out, 0xDC00 | (c & 0x3FF));
    } else {
        appendUnit(out, c);
    }
}

std::uint32_t unitAt(std::string_view bytes, std::size_t i) {
    return static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
}

// Reads one UTF-8 sequence at `i`; a byte that starts no valid sequence stands for itself
// (as U+0080..U+00FF would, which can only come from text the program wrote itself).
std::uint32_t nextCodePoint(std::string_view s, std::size_t& i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    int length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
    if (length == 0 || i + length > s.size()) {
        ++i;
        return lead;
    }
    std::uint32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            ++i;
            return lead;
        }
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    i += static_cast<std::size_t>(length);
    return c;
}

} // namespace

DecodedFile decode(std::string bytes) {
    if (!bytes.starts_with(kUtf16LeMark))
        return {Encoding::EightBit, std::move(bytes)};
    // A file cut off inside its last unit reads, as the game reads it, up to the last
    // whole unit; the stray byte is not written back.
    DecodedFile file{Encoding::Utf16Le, {}};
    file.text.reserve(bytes.size() / 2);
    for (std::size_t i = kUtf16LeMark.size(); i + 1 < bytes.size(); i += 2) {
        std::uint32_t unit = unitAt(bytes, i);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
            const std::uint32_t low = unitAt(bytes, i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        appendUtf8(file.text, unit);
    }
    return file;
}

std::string encode(std::string_view text, Encoding encoding) {
    if (encoding == Encoding::EightBit)
        return std::string(text);
    std::string out(kUtf16LeMark);
    out.reserve(2 + text.size() * 2);
    for (std::size_t i = 0; i < text.size();)
        appendUtf16(out, nextCodePoint(text, i));
    return out;
}

} // namespace iniencoding
