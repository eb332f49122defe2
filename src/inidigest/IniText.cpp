#include "inidigest/IniText.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace initext {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// One line of the file: [begin, textEnd) is its text, [textEnd, end) its line end.
struct Line {
    std::size_t begin;
    std::size_t textEnd;
    std::size_t end;
};

enum class LineKind { Other, Heading, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name;  // heading or key name, trimmed
    std::string_view value; // key value, trimmed (quotes still on)
};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    return true;
}

// Hands out the lines of a file one by one, so a read can stop at its key.
class LineReader {
public:
    explicit LineReader(std::string_view content)
        : m_data(content.data())
        , m_size(content.size()) {}

    bool next(Line& line) {
        if (m_pos >= m_size)
            return false;
        // The next CR and the next LF are searched for again only once the scan has
        // passed them, so a file is read through at most twice in all.
        if (m_pos == 0 || m_nextCr < m_pos)
            m_nextCr = find('\r');
        if (m_pos == 0 || m_nextLf < m_pos)
            m_nextLf = find('\n');
        const std::size_t textEnd = std::min(m_nextCr, m_nextLf);
        std::size_t end = textEnd;
        if (textEnd < m_size) {
            ++end;
            if (m_data[textEnd] == '\r' && end < m_size && m_data[end] == '\n')
                ++end;
        }
        line = {m_pos, textEnd, end};
        m_pos = end;
        return true;
    }

private:
    std::size_t find(char c) const {
        const void* hit = std::memchr(m_data + m_pos, c, m_size - m_pos);
        return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - m_data) : m_size;
    }

    const char* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
    std::size_t m_nextCr = 0;
    std::size_t m_nextLf = 0;
};

std::vector<Line> splitLines(std::string_view content) {
    std::vector<Line> lines;
    LineReader reader(content);
    for (Line line; reader.next(line);)
        lines.push_back(line);
    return lines;
}

std::string_view lineText(std::string_view content, const Line& line) {
    std::string_view text = content.substr(line.begin, line.textEnd - line.begin);
    // A UTF-8 byte-order mark belongs to the file, not to its first line.
    if (line.begin == 0 && text.starts_with(kUtf8Bom))
        text.remove_prefix(kUtf8Bom.size());
    return text;
}

ParsedLine parse(std::string_view rawText) {
    std::string_view text = trim(rawText);
    ParsedLine parsed;
    if (text.empty() || text.front() == ';')
        return parsed;
    if (text.front() == '[') {
        std::size_t close = text.rfind(']');
        if (close != std::string_view::npos) {
            parsed.kind = LineKind::Heading;
            parsed.name = trim(text.substr(1, close - 1));
            return parsed;
        }
    }
    std::size_t equals = text.find('=');
    if (equals == std::string_view::npos)
        return parsed;
    parsed.kind = LineKind::Key;
    parsed.name = trim(text.substr(0, equals));
    parsed.value = trim(text.substr(equals + 1));
    return parsed;
}

// Whether a line may be a heading: its first non-blank character is "[".
bool mayBeHeading(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    return first != std::string_view::npos && text[first] == '[';
}

std::string unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value.substr(0, kMaxValueLength));
}

std::string withoutLineBreaks(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s)
        if (c != '\r' && c != '\n')
            out += c;
    return out;
}

// Where a section stands in the file: its heading line and the line after its last line.
struct SectionSpan {
    std::size_t heading;
    std::size_t end;
};

std::optional<SectionSpan> findSection(std::string_view content, const std::vector<Line>& lines,
                                       std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ParsedLine parsed = parse(lineText(content, lines[i]));
        if (parsed.kind != LineKind::Heading || !sameName(parsed.name, section))
            continue;
        std::size_t end = i + 1;
        while (end < lines.size() && parse(lineText(content, lines[end])).kind != LineKind::Heading)
            ++end;
        return SectionSpan{i, end};
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> readValue(std::string_view content, std::string_view section,
                                     std::string_view key) {
    section = trim(section);
    key = trim(key);
    // One pass that stops at the key, or at the end of the first section of that name.
    bool inSection = false;
    LineReader reader(content);
    for (Line line; reader.next(line);) {
        const std::string_view text = lineText(content, line);
        if (!inSection && !mayBeHeading(text))
            continue; // outside the section only headings matter
        const ParsedLine parsed = parse(text);
        if (parsed.kind == LineKind::Heading) {
            if (inSection)
                return std::nullopt;
            inSection = sameName(parsed.name, section);
        } else if (inSection && parsed.kind == LineKind::Key && sameName(parsed.name, key)) {
            return unquote(parsed.value);
        }
    }
    return std::nullopt;
}

std::string writeValue(std::string_view content, std::string_view section, std::string_view key,
                       std::string_view value) {
    const std::string cleanSection = withoutLineBreaks(trim(section));
    const std::string cleanKey = withoutLineBreaks(trim(key));
    const std::string cleanValue = withoutLineBreaks(value);
    const std::vector<Line> lines = splitLines(content);
    const bool endsOpen = !lines.empty() && lines.back().textEnd == lines.back().end;

    const auto span = findSection(content, lines, cleanSection);
    if (!span) {
        std::string out(content);
        if (endsOpen)
            out += kCrLf;
        out +=
            "[" + cleanSection + "]" + std::string(kCrLf) + cleanKey + "=" + cleanValue + std::string(kCrLf);
        return out;
    }

    for (std::size_t i = span->heading + 1; i < span->end; ++i) {
        ParsedLine parsed = parse(lineText(content, lines[i]));
        if (parsed.kind != LineKind::Key || !sameName(parsed.name, cleanKey))
            continue;
        // Keep the file's spelling of the key; everything else of the line is rewritten.
        std::string out(content.substr(0, lines[i].begin));
        out += std::string(parsed.name) + "=" + cleanValue + std::string(kCrLf);
        out += content.substr(lines[i].end);
        return out;
    }

    // New key: after the last non-blank line of the section, so blank lines that
    // separate it from the next heading stay after it.
    std::size_t last = span->heading;
    for (std::size_t i = span->heading + 1; i < span->end; ++i)
        if (!trim(lineText(content, lines[i])).empty())
            last = i;
    std::string out(content.substr(0, lines[last].end));
    if (lines[last].textEnd == lines[last].end)
        out += kCrLf;
    out += cleanKey + "=" + cleanValue + std::string(kCrLf);
    out += content.substr(lines[last].end);
    return out;
}

} // namespace initext
