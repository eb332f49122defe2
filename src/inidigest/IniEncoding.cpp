#include "inidigest/IniEncoding.h"

#include <algorithm>
#include <cstdint>

namespace iniencoding {
namespace {

constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

bool isBigEndian(Encoding encoding) {
    return encoding == Encoding::Utf16Be || encoding == Encoding::Utf16BeUnmarked;
}

std::string_view markOf(Encoding encoding) {
    return encoding == Encoding::Utf16Le ? kUtf16LeMark : encoding == Encoding::Utf16Be ? kUtf16BeMark : "";
}

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

void appendUnit(std::string& out, std::uint32_t unit, bool bigEndian) {
    const char low = static_cast<char>(unit & 0xFF);
    const char high = static_cast<char>(unit >> 8);
    out += bigEndian ? high : low;
    out += bigEndian ? low : high;
}

void appendUtf16(std::string& out, std::uint32_t c, bool bigEndian) {
    if (c >= 0x10000) {
        c -= 0x10000;
        appendUnit(out, 0xD800 | (c >> 10), bigEndian);
        appendUnit(out, 0xDC00 | (c & 0x3FF), bigEndian);
    } else {
        appendUnit(out, c, bigEndian);
    }
}

std::uint32_t unitAt(std::string_view bytes, std::size_t i, bool bigEndian) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    return bigEndian ? (first << 8) | second : first | (second << 8);
}

bool isTextByte(unsigned char c) {
    return (c >= 0x20 && c < 0x7F) || c == '\r' || c == '\n' || c == '\t';
}

// A file without a mark is taken for UTF-16 when nearly all of its first units are an
// ASCII character beside a NUL byte, the NULs all on one side: 8-bit INI text never
// looks like that, UTF-16 INI text (headings, keys, numbers) always does.
Encoding unmarkedEncoding(std::string_view bytes) {
    constexpr std::size_t kSampleUnits = 512;
    const std::size_t units = std::min(bytes.size() / 2, kSampleUnits);
    std::size_t little = 0;
    std::size_t big = 0;
    for (std::size_t i = 0; i < units; ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        little += isTextByte(first) && second == 0;
        big += first == 0 && isTextByte(second);
    }
    if (units >= 2 && little * 4 >= units * 3)
        return Encoding::Utf16LeUnmarked;
    if (units >= 2 && big * 4 >= units * 3)
        return Encoding::Utf16BeUnmarked;
    return Encoding::EightBit;
}

Encoding encodingOf(std::string_view bytes) {
    if (bytes.starts_with(kUtf16LeMark))
        return Encoding::Utf16Le;
    if (bytes.starts_with(kUtf16BeMark))
        return Encoding::Utf16Be;
    return unmarkedEncoding(bytes);
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
    const Encoding encoding = encodingOf(bytes);
    if (encoding == Encoding::EightBit)
        return {Encoding::EightBit, std::move(bytes)};
    const bool big = isBigEndian(encoding);
    // A file cut off inside its last unit reads, as the game reads it, up to the last
    // whole unit; the stray byte is not written back.
    DecodedFile file{encoding, {}};
    file.text.reserve(bytes.size() / 2);
    for (std::size_t i = markOf(encoding).size(); i + 1 < bytes.size(); i += 2) {
        std::uint32_t unit = unitAt(bytes, i, big);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
            const std::uint32_t low = unitAt(bytes, i + 2, big);
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
    std::string out(markOf(encoding));
    out.reserve(2 + text.size() * 2);
    for (std::size_t i = 0; i < text.size();)
        appendUtf16(out, nextCodePoint(text, i), isBigEndian(encoding));
    return out;
}

} // namespace iniencoding
