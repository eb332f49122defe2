// libFuzzer target for the INI engine (initext::readValue / initext::writeValue).
//
// Input: six fields separated by NUL bytes, then the file content (which may hold NULs):
//   mode \0 section \0 key \0 value \0 probeSection \0 probeKey \0 content
// mode[0] bit 0: take the section from the content's headings (index mode[1]);
//         bit 1: take the key from the content's key lines (index mode[2]).
// Missing fields are empty.
//
// Besides crashes and sanitizer reports, every run checks:
// - no read returns more than kMaxValueLength characters;
// - a write changes the file in one place only: at most one line replaced, or one or two
//   new lines inserted (an open last line may gain CR LF first); every other line keeps
//   its bytes and its place;
// - for names and values that the rules let round-trip, the change is the one the rules
//   call for (which line is replaced, where a new line goes), a read of the same key gives
//   the written value, writing it again changes nothing, and every other key reads as before.
#include "inidigest/IniText.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using initext::kMaxValueLength;

[[noreturn]] void fail(const char* what, std::string_view detail = {}) {
    std::fprintf(stderr, "IniTextFuzz: %s\n", what);
    if (!detail.empty())
        std::fprintf(stderr, "  detail: [%.*s]\n", static_cast<int>(detail.size()), detail.data());
    std::abort();
}

void require(bool condition, const char* what, std::string_view detail = {}) {
    if (!condition)
        fail(what, detail);
}

// --- An independent reading of the line rules, used as the oracle -----------------------

struct Line {
    std::string_view text;
    std::string_view end; // "", "\r", "\n" or "\r\n"
    bool operator==(const Line&) const = default;
};

std::vector<Line> splitLines(std::string_view s) {
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < s.size()) {
        std::size_t stop = pos;
        while (stop < s.size() && s[stop] != '\r' && s[stop] != '\n')
            ++stop;
        std::size_t next = stop;
        if (next < s.size()) {
            next += (s[next] == '\r' && next + 1 < s.size() && s[next + 1] == '\n') ? 2 : 1;
        }
        lines.push_back({s.substr(pos, stop - pos), s.substr(stop, next - stop)});
        pos = next;
    }
    return lines;
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y + 32);
        if (x != y)
            return false;
    }
    return true;
}

enum class Kind { Other, Heading, Key };

struct Classified {
    Kind kind = Kind::Other;
    std::string_view name;
};

Classified classify(const std::vector<Line>& lines, std::size_t index) {
    std::string_view text = lines[index].text;
    if (index == 0 && text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    text = trimBlanks(text);
    if (text.empty() || text[0] == ';')
        return {};
    if (text[0] == '[') {
        const std::size_t close = text.rfind(']');
        if (close != std::string_view::npos)
            return {Kind::Heading, trimBlanks(text.substr(1, close - 1))};
    }
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos)
        return {};
    return {Kind::Key, trimBlanks(text.substr(0, equals))};
}

// Where the first heading of `section` is and where its section ends (line indexes).
struct Span {
    std::size_t heading;
    std::size_t end;
};

std::optional<Span> firstSection(const std::vector<Line>& lines, std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Classified c = classify(lines, i);
        if (c.kind != Kind::Heading || !equalIgnoringAsciiCase(c.name, section))
            continue;
        std::size_t end = i + 1;
        while (end < lines.size() && classify(lines, end).kind != Kind::Heading)
            ++end;
        return Span{i, end};
    }
    return std::nullopt;
}

// --- Names and values that can round-trip -------------------------------------------------

std::string withoutChars(std::string_view s, std::string_view drop) {
    std::string out;
    for (char c : s)
        if (drop.find(c) == std::string_view::npos)
            out += c;
    return out;
}

std::string roundTripSection(std::string_view raw) {
    return std::string(trimBlanks(withoutChars(raw, "\r\n")));
}

std::string roundTripKey(std::string_view raw) {
    std::string key = withoutChars(raw, "\r\n=");
    for (;;) {
        std::string_view t = trimBlanks(key);
        if (!t.empty() && (t.front() == ';' || t.front() == '['))
            t.remove_prefix(1);
        if (t.size() == key.size())
            return key;
        key = std::string(t);
    }
}

std::string roundTripValue(std::string_view raw) {
    std::string value = withoutChars(raw, "\r\n");
    if (value.size() > kMaxValueLength)
        value.resize(kMaxValueLength);
    for (;;) {
        std::string_view t = trimBlanks(value);
        if (t.size() >= 2 && (t.front() == '"' || t.front() == '\'') && t.back() == t.front())
            t.remove_suffix(1);
        if (t.size() == value.size())
            return value;
        value = std::string(t);
    }
}

// --- The checks ---------------------------------------------------------------------------

std::optional<std::string> checkedRead(std::string_view content, std::string_view section,
                                       std::string_view key) {
    std::optional<std::string> value = initext::readValue(content, section, key);
    if (value)
        require(value->size() <= kMaxValueLength, "read returned more than kMaxValueLength characters");
    return value;
}

// How a write changed the file's lines.
struct Change {
    std::size_t at = 0;          // index (in both files) of the first changed line
    bool closedOpenLine = false; // the open last line gained CR LF before the insertion
    std::vector<Line> removed;
    std::vector<Line> inserted;
};

Change diff(const std::vector<Line>& before, const std::vector<Line>& after) {
    const std::size_t n = before.size(), m = after.size();
    std::size_t p = 0;
    while (p < n && p < m && before[p] == after[p])
        ++p;
    std::size_t s = 0;
    while (p + s < n && p + s < m && before[n - 1 - s] == after[m - 1 - s])
        ++s;
    Change change;
    change.at = p;
    change.removed.assign(before.begin() + static_cast<std::ptrdiff_t>(p),
                          before.end() - static_cast<std::ptrdiff_t>(s));
    change.inserted.assign(after.begin() + static_cast<std::ptrdiff_t>(p),
                           after.end() - static_cast<std::ptrdiff_t>(s));
    // An open last line that only gained CR LF, followed by new lines.
    if (change.removed.size() == 1 && p == n - 1 && before[p].end.empty() && change.inserted.size() >= 2 &&
        change.inserted[0].text == before[p].text && change.inserted[0].end == "\r\n") {
        change.closedOpenLine = true;
        change.removed.clear();
        change.inserted.erase(change.inserted.begin());
        change.at = p + 1;
    }
    return change;
}

// What holds for every write, whatever the names: one place changed, new lines end in CR LF.
Change checkShape(const std::vector<Line>& before, const std::vector<Line>& after) {
    Change change = diff(before, after);
    for (const Line& line : change.inserted)
        require(line.end == "\r\n", "a written line does not end with CR LF", line.text);
    const bool unchanged = change.removed.empty() && change.inserted.empty();
    const bool replaced = change.removed.size() == 1 && change.inserted.size() == 1;
    const bool added = change.removed.empty() && (change.inserted.size() == 1 || change.inserted.size() == 2);
    require(unchanged || replaced || added, "a write changed more than one place in the file");
    if (added && change.inserted.size() == 2)
        require(change.at == before.size(), "a new section was not appended at the end");
    return change;
}

void checkRoundTrip(std::string_view content, const std::string& section, const std::string& key,
                    const std::string& value, std::string_view probeSection, std::string_view probeKey) {
    const std::string out = initext::writeValue(content, section, key, value);
    const std::vector<Line> before = splitLines(content);
    const std::vector<Line> after = splitLines(out);
    const Change change = checkShape(before, after);

    const std::optional<Span> span = firstSection(before, section);
    std::optional<std::size_t> keyLine;
    if (span)
        for (std::size_t i = span->heading + 1; i < span->end && !keyLine; ++i) {
            const Classified c = classify(before, i);
            if (c.kind == Kind::Key && equalIgnoringAsciiCase(c.name, key))
                keyLine = i;
        }

    if (keyLine) {
        // The first key line of the first section is rewritten, in the file's spelling.
        const std::string expected = std::string(classify(before, *keyLine).name) + "=" + value;
        if (change.removed.empty() && change.inserted.empty()) {
            require(before[*keyLine].text == expected && before[*keyLine].end == "\r\n",
                    "an existing key whose value differs was left unchanged");
        } else {
            require(change.removed.size() == 1 && change.at == *keyLine,
                    "an existing key was not rewritten in its own line");
            require(change.inserted[0].text == expected, "the rewritten key line is not name=value",
                    change.inserted[0].text);
        }
    } else if (span) {
        // A new key line after the last non-blank line of the section.
        std::size_t last = span->heading;
        for (std::size_t i = span->heading + 1; i < span->end; ++i)
            if (!trimBlanks(before[i].text).empty())
                last = i;
        require(change.removed.empty() && change.inserted.size() == 1,
                "a new key did not add exactly one line");
        require(change.at == last + 1, "a new key is not after the last non-blank line of its section");
        require(change.inserted[0].text == key + "=" + value, "the new key line is not key=value",
                change.inserted[0].text);
    } else {
        // A new section at the end of the file.
        require(change.removed.empty() && change.inserted.size() == 2,
                "a new section did not add exactly two lines");
        require(change.inserted[0].text == "[" + section + "]", "the new heading is not [section]",
                change.inserted[0].text);
        require(change.inserted[1].text == key + "=" + value, "the new key line is not key=value",
                change.inserted[1].text);
    }

    const std::optional<std::string> back = checkedRead(out, section, key);
    require(back.has_value(), "a written key cannot be read back");
    require(*back == value, "a written key reads back a different value", *back);
    require(initext::writeValue(out, section, key, value) == out,
            "writing the same value again changed the file");

    const bool sameKey = equalIgnoringAsciiCase(trimBlanks(probeSection), section) &&
                         equalIgnoringAsciiCase(trimBlanks(probeKey), key);
    if (!sameKey)
        require(checkedRead(content, probeSection, probeKey) == checkedRead(out, probeSection, probeKey),
                "a write changed what another key reads");
}

// The name of the index-th line of the given kind (headings, or key lines of `section`).
std::optional<std::string> pickName(std::string_view content, Kind kind, unsigned index,
                                    std::string_view section) {
    const std::vector<Line> lines = splitLines(content);
    std::vector<std::string_view> names;
    std::size_t from = 0, to = lines.size();
    if (kind == Kind::Key) {
        if (const auto span = firstSection(lines, section)) {
            from = span->heading + 1;
            to = span->end;
        }
    }
    for (std::size_t i = from; i < to; ++i) {
        const Classified c = classify(lines, i);
        if (c.kind == kind)
            names.push_back(c.name);
    }
    if (names.empty())
        return std::nullopt;
    return std::string(names[index % names.size()]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view fields[6];
    for (std::string_view& field : fields) {
        const std::size_t nul = input.find('\0');
        if (nul == std::string_view::npos) {
            field = input;
            input = {};
        } else {
            field = input.substr(0, nul);
            input.remove_prefix(nul + 1);
        }
    }
    const std::string_view mode = fields[0];
    std::string section(fields[1]);
    std::string key(fields[2]);
    const std::string_view value = fields[3];
    const std::string_view probeSection = fields[4];
    const std::string_view probeKey = fields[5];
    const std::string_view content = input;

    const unsigned flags = mode.empty() ? 0 : static_cast<unsigned char>(mode[0]);
    if (flags & 1)
        if (auto picked = pickName(content, Kind::Heading,
                                   mode.size() > 1 ? static_cast<unsigned char>(mode[1]) : 0u, {}))
            section = *picked;
    if (flags & 2)
        if (auto picked = pickName(content, Kind::Key,
                                   mode.size() > 2 ? static_cast<unsigned char>(mode[2]) : 0u, section))
            key = *picked;

    // Any names at all: no crash, bounded reads, a change in one place.
    checkedRead(content, section, key);
    checkedRead(content, probeSection, probeKey);
    const std::string raw = initext::writeValue(content, section, key, value);
    checkShape(splitLines(content), splitLines(raw));

    // Names and value reduced to what the rules let round-trip.
    checkRoundTrip(content, roundTripSection(section), roundTripKey(key), roundTripValue(value), probeSection,
                   probeKey);
    return 0;
}
