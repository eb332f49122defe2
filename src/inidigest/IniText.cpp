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

// Hands out the lines of a file one by one, so a read can stop at its key. Two jumps
// keep files of millions of lines quick: outside the wanted section only headings
// matter, and they are found by searching for "["; runs of empty lines are passed in
// one step.
class LineReader {
public:
    explicit LineReader(std::string_view content)
        : m_data(content.data())
        , m_size(content.size())
        , m_markEnd(content.starts_with(kUtf8Bom) ? kUtf8Bom.size() : 0) {}

    bool next(Line& line) {
        if (m_pos >= m_size)
            return false;
        // The next CR and the next LF are searched for again only once the scan has
        // passed them, so a file is read through at most twice in all.
        if (!m_searched || m_nextCr < m_pos)
            m_nextCr = find('\r', m_pos);
        if (!m_searched || m_nextLf < m_pos)
            m_nextLf = find('\n', m_pos);
        m_searched = true;
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

    // Passes the empty lines that follow: every CR and LF from a line's start on ends one.
    void skipEmptyLines() {
        while (m_pos < m_size && (m_data[m_pos] == '\r' || m_data[m_pos] == '\n'))
            ++m_pos;
    }

    bool nextMaybeHeading(Line& line) {
        for (std::size_t from = m_pos; from < m_size;) {
            const std::size_t bracket = find('[', from);
            if (bracket == m_size)
                break;
            std::size_t start = bracket;
            while (start > m_pos && isBlank(m_data[start - 1]))
                --start;
            if (start == m_pos || m_data[start - 1] == '\r' || m_data[start - 1] == '\n' ||
                (m_pos == 0 && start == m_markEnd)) {
                if (start != m_pos && !(m_pos == 0 && start == m_markEnd))
                    m_pos = start;
                return next(line);
            }
            from = bracket + 1;
        }
        m_pos = m_size;
        return false;
    }

private:
    std::size_t find(char c, std::size_t from) const {
        const void* hit = std::memchr(m_data + from, c, m_size - from);
        return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - m_data) : m_size;
    }

    const char* m_data;
    std::size_t m_size;
    std::size_t m_markEnd; // where a UTF-8 mark at the start of the file ends
    std::size_t m_pos = 0;
    bool m_searched = false;
    std::size_t m_nextCr = 0;
    std::size_t m_nextLf = 0;
};

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

// Where a key stands in the file, as far as a read or a write needs to know.
struct KeyPlace {
    bool sectionFound = false;
    std::optional<Line> keyLine; // the first line of the key in the first section of the name
    ParsedLine key;              // that line, parsed
    Line lastFilled{};           // without the key: the section's heading or last non-blank line
};

// One pass that stops at the key, or at the end of the first section of that name.
KeyPlace locate(std::string_view content, std::string_view section, std::string_view key) {
    KeyPlace place;
    LineReader reader(content);
    Line line{};
    while (reader.nextMaybeHeading(line)) {
        const ParsedLine heading = parse(lineText(content, line));
        if (heading.kind == LineKind::Heading && sameName(heading.name, section)) {
            place.sectionFound = true;
            break;
        }
    }
    if (!place.sectionFound)
        return place;
    place.lastFilled = line;
    for (reader.skipEmptyLines(); reader.next(line); reader.skipEmptyLines()) {
        const std::string_view text = lineText(content, line);
        const ParsedLine parsed = parse(text);
        if (parsed.kind == LineKind::Heading)
            break;
        if (parsed.kind == LineKind::Key && sameName(parsed.name, key)) {
            place.keyLine = line;
            place.key = parsed;
            break;
        }
        if (!trim(text).empty())
            place.lastFilled = line;
    }
    return place;
}

} // namespace

std::optional<std::string> readValue(std::string_view content, std::string_view section,
                                     std::string_view key) {
    const KeyPlace place = locate(content, trim(section), trim(key));
    if (!place.keyLine)
        return std::nullopt;
    return unquote(place.key.value);
}

void setValue(std::string& content, std::string_view section, std::string_view key, std::string_view value) {
    const std::string cleanSection = withoutLineBreaks(trim(section));
    const std::string cleanKey = withoutLineBreaks(trim(key));
    const std::string cleanValue = withoutLineBreaks(value);
    const KeyPlace place = locate(content, cleanSection, cleanKey);

    if (!place.sectionFound) {
        const bool endsOpen = !content.empty() && content.back() != '\r' && content.back() != '\n';
        if (endsOpen)
            content += kCrLf;
        content +=
            "[" + cleanSection + "]" + std::string(kCrLf) + cleanKey + "=" + cleanValue + std::string(kCrLf);
        return;
    }
    if (place.keyLine) {
        // Keep the file's spelling of the key; everything else of the line is rewritten.
        const std::string line = std::string(place.key.name) + "=" + cleanValue + std::string(kCrLf);
        content.replace(place.keyLine->begin, place.keyLine->end - place.keyLine->begin, line);
        return;
    }
    // New key: after the last non-blank line of the section, so blank lines that
    // separate it from the next heading stay after it.
    const Line& last = place.lastFilled;
    std::string line = last.textEnd == last.end ? std::string(kCrLf) : std::string();
    line += cleanKey + "=" + cleanValue + std::string(kCrLf);
    content.insert(last.end, line);
}

std::string writeValue(std::string_view content, std::string_view section, std::string_view key,
                       std::string_view value) {
    std::string out;
    out.reserve(content.size() + section.size() + key.size() + value.size() + 8);
    out = content;
    setValue(out, section, key, value);
    return out;
}

} // namespace initext
