#include "platform/SteamLibraries.h"

#include <algorithm>
#include <cstddef>
#include <fstream>
#include <optional>

namespace steamlibraries {

namespace {

// Steam writes a few kilobytes; anything far larger is not its file.
constexpr std::size_t kMaxFileBytes = 4 * 1024 * 1024;

bool isBlank(unsigned char c) {
    // Control bytes count as blanks so that binary junk splits into harmless words.
    return c <= 0x20 || c == 0x7f;
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

// Library entries are keyed "0", "1", "2", ...
bool isIndexKey(std::string_view key) {
    return !key.empty() && std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Platform conditions such as [$WIN32] may follow a value; they carry nothing for us.
bool isCondition(std::string_view word) {
    return word.size() >= 2 && word.front() == '[' && word.back() == ']';
}

struct Token {
    enum Kind { Open, Close, Word, End } kind = End;
    std::string text;
    bool quoted = false;
};

class Lexer {
public:
    explicit Lexer(std::string_view text)
        : text_(text) {
        if (text_.substr(0, 3) == "\xEF\xBB\xBF") {
            pos_ = 3;
        }
    }

    Token next() {
        for (;;) {
            while (pos_ < text_.size() && isBlank(static_cast<unsigned char>(text_[pos_]))) {
                ++pos_;
            }
            if (pos_ >= text_.size()) {
                return {};
            }
            const char c = text_[pos_];
            if (c == '/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '/') {
                const std::size_t eol = text_.find('\n', pos_);
                pos_ = eol == std::string_view::npos ? text_.size() : eol + 1;
                continue;
            }
            if (c == '{') {
                ++pos_;
                return {Token::Open, {}, false};
            }
            if (c == '}') {
                ++pos_;
                return {Token::Close, {}, false};
            }
            if (c == '"') {
                return quoted();
            }
            return bare();
        }
    }

private:
    // A quoted string with its escapes resolved. A string the file ends inside is cut
    // off and therefore dropped: the reading stops there.
    Token quoted() {
        Token token{Token::Word, {}, true};
        ++pos_;
        while (pos_ < text_.size()) {
            const char c = text_[pos_++];
            if (c == '"') {
                return token;
            }
            if (c != '\\') {
                token.text += c;
                continue;
            }
            if (pos_ >= text_.size()) {
                break;
            }
            const char e = text_[pos_++];
            switch (e) {
            case '\\':
            case '"':
                token.text += e;
                break;
            case 'n':
                token.text += '\n';
                break;
            case 't':
                token.text += '\t';
                break;
            default:
                // Not an escape Steam writes: keep both characters as they stand.
                token.text += '\\';
                token.text += e;
                break;
            }
        }
        pos_ = text_.size();
        return {};
    }

    // An unquoted word runs up to a blank, a brace or a quote.
    Token bare() {
        const std::size_t start = pos_;
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (isBlank(static_cast<unsigned char>(c)) || c == '{' || c == '}' || c == '"') {
                break;
            }
            ++pos_;
        }
        return {Token::Word, std::string(text_.substr(start, pos_ - start)), false};
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

void addLibrary(std::vector<std::string>& libraries, std::string value) {
    if (value.empty() || std::find(libraries.begin(), libraries.end(), value) != libraries.end()) {
        return;
    }
    libraries.push_back(std::move(value));
}

// Called for every complete "key" "value" pair; `blocks` names the enclosing blocks,
// outermost first.
void takePair(const std::vector<std::string>& blocks, const std::string& key, std::string value,
              std::vector<std::string>& libraries) {
    if (blocks.empty() || !equalsIgnoringCase(blocks.front(), "libraryfolders")) {
        return;
    }
    if (blocks.size() == 1 && isIndexKey(key)) {
        addLibrary(libraries, std::move(value)); // older layout: "1" "/path"
    } else if (blocks.size() == 2 && isIndexKey(blocks[1]) && equalsIgnoringCase(key, "path")) {
        addLibrary(libraries, std::move(value)); // current layout: "1" { "path" "/path" }
    }
}

} // namespace

std::vector<std::string> parseLibraryFolders(std::string_view text) noexcept {
    std::vector<std::string> libraries;
    try {
        Lexer lexer(text);
        std::vector<std::string> blocks;
        std::optional<std::string> key;
        for (Token token = lexer.next(); token.kind != Token::End; token = lexer.next()) {
            switch (token.kind) {
            case Token::Open:
                blocks.push_back(key.value_or(std::string()));
                key.reset();
                break;
            case Token::Close:
                // A stray closing brace at the top is ignored rather than fatal.
                if (!blocks.empty()) {
                    blocks.pop_back();
                }
                key.reset();
                break;
            case Token::Word:
                if (!token.quoted && isCondition(token.text)) {
                    break;
                }
                if (!key) {
                    key = std::move(token.text);
                } else {
                    takePair(blocks, *key, std::move(token.text), libraries);
                    key.reset();
                }
                break;
            case Token::End:
                break;
            }
        }
    } catch (...) {
        // Only an allocation failure can get here; keep what was read.
    }
    return libraries;
}

std::vector<std::string> readLibraryFolders(const std::filesystem::path& file) noexcept {
    try {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            return {};
        }
        std::string bytes(kMaxFileBytes, '\0');
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        bytes.resize(static_cast<std::size_t>(in.gcount()));
        return parseLibraryFolders(bytes);
    } catch (...) {
        return {};
    }
}

} // namespace steamlibraries
