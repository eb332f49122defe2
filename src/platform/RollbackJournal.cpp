#include "platform/RollbackJournal.h"

#include "platform/FileStore.h"
#include "platform/FileSystemCalls.h"
#include "platform/InPlaceRewrite.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>
#include <utility>

namespace fs = std::filesystem;

namespace filestore::journal {
namespace {

constexpr std::string_view kMark = "Knobwerk rollback journal 1\n";
constexpr std::string_view kBesideEnd = ".knobwerk-journal";
constexpr std::string_view kStateEnd = ".journal";
constexpr std::string_view kKeptEnd = ".unmatched";
constexpr std::size_t kChecksumLine = 17; // 16 hexadecimal digits and a line end

// FNV-1a: the same number from every build of the program, on every platform.
std::uint64_t checksum(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : bytes)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return hash;
}

std::string hex(std::uint64_t number) {
    std::string text(16, '0');
    for (std::size_t i = 16; i-- > 0; number >>= 4)
        text[i] = "0123456789abcdef"[number & 15];
    return text;
}

fs::path besideJournal(const fs::path& file) {
    fs::path name = file.filename();
    name += std::string(kBesideEnd);
    return file.parent_path() / name;
}

// In the state folder, a journal is named after the file's path.
fs::path stateJournal(const fs::path& file) {
    const fs::path folder = sys::stateFolder();
    return folder.empty() ? fs::path() : folder / (hex(checksum(pathText(file))) + std::string(kStateEnd));
}

// The last line checks all before it: a journal cut short by a crash was never complete,
// and then the file was never touched.
struct Rewrite {
    fs::path file;
    std::string oldBytes;
    std::string newBytes;
};

std::string encode(const fs::path& file, std::string_view oldBytes, std::string_view newBytes) {
    const std::string path = pathText(file);
    std::string text(kMark);
    text += std::to_string(path.size()) + "\n" + path + "\n";
    text += std::to_string(oldBytes.size()) + "\n" + std::to_string(newBytes.size()) + "\n";
    text += oldBytes;
    text += newBytes;
    return text + hex(checksum(text)) + "\n";
}

std::optional<std::size_t> number(std::string_view text, std::size_t& at) {
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(text.data() + at, text.data() + text.size(), value);
    if (error != std::errc() || end == text.data() + text.size() || *end != '\n')
        return std::nullopt;
    at = static_cast<std::size_t>(end - text.data()) + 1;
    return value;
}

std::optional<std::string> bytes(std::string_view text, std::size_t& at, std::size_t size) {
    if (size > text.size() - at)
        return std::nullopt;
    at += size;
    return std::string(text.substr(at - size, size));
}

std::optional<Rewrite> decode(std::string_view text) {
    if (!text.starts_with(kMark) || text.size() < kMark.size() + kChecksumLine)
        return std::nullopt;
    const std::string_view body = text.substr(0, text.size() - kChecksumLine);
    if (text.substr(body.size()) != hex(checksum(body)) + "\n")
        return std::nullopt;
    std::size_t at = kMark.size();
    const auto pathSize = number(body, at);
    const auto path = pathSize ? bytes(body, at, *pathSize + 1) : std::nullopt;
    const auto oldSize = path ? number(body, at) : std::nullopt;
    const auto newSize = oldSize ? number(body, at) : std::nullopt;
    const auto oldBytes = newSize ? bytes(body, at, *oldSize) : std::nullopt;
    const auto newBytes = oldBytes ? bytes(body, at, *newSize) : std::nullopt;
    if (!newBytes || at != body.size())
        return std::nullopt;
    return Rewrite{toPath(path->substr(0, *pathSize)), *oldBytes, *newBytes};
}

// Whether `now` is what a cut-short rewrite from `old` to `updated` can leave: a size
// between the two, every byte the old one, the new one, or the zero of the room taken.
bool mixOf(std::string_view now, std::string_view old, std::string_view updated) {
    if (now.size() < std::min(old.size(), updated.size()) ||
        now.size() > std::max(old.size(), updated.size()))
        return false;
    for (std::size_t i = 0; i < now.size(); ++i) {
        const bool fromOld = i < old.size() ? now[i] == old[i] : now[i] == '\0';
        if (!fromOld && !(i < updated.size() && now[i] == updated[i]))
            return false;
    }
    return true;
}

std::error_code writeJournal(const fs::path& journal, std::string_view text) {
    std::error_code error;
    sys::Handle file = sys::createNew(journal, 0600, error);
    if (error)
        return error;
    if ((error = sys::writeAllAndFlush(file, text)) || (error = file.close())) {
        sys::removeFile(journal);
        return error;
    }
    // Its name must outlast a power cut too before the file's first byte changes.
    sys::flushFolder(journal.parent_path());
    return {};
}

// Keeps the journal of a file changed since under a name no start-up looks at again.
fs::path keepAside(const fs::path& journal) {
    for (int n = 0; n < 100; ++n) {
        fs::path kept = journal;
        kept += (n == 0 ? "" : "." + std::to_string(n)) + std::string(kKeptEnd);
        if (!sys::renameFree(journal, kept))
            return kept;
    }
    return journal;
}

// Finishes the rewrite one journal tells of; false when its file had been changed since.
bool finish(const fs::path& journal, const Rewrite& rewrite) {
    std::error_code error;
    sys::FileFacts facts;
    sys::Handle file = sys::openToRewrite(rewrite.file, facts, error);
    std::string now;
    if (error || facts.kind != sys::Kind::Regular || sys::readAll(file, facts.stamp.size, now))
        return false;
    if (now == rewrite.oldBytes || now == rewrite.newBytes) {
        end(journal);
        return true;
    }
    if (!mixOf(now, rewrite.oldBytes, rewrite.newBytes))
        return false;
    // Should this fail, the journal stays for the next start.
    if (!inplace::overwrite(file, now.size(), rewrite.oldBytes))
        end(journal);
    return true;
}

// A journal beside its file speaks of that file, wherever the folder was moved since;
// one in the state folder of the file it names.
void recoverOne(const fs::path& journal, const fs::path& besideFile, std::vector<Unmatched>& unmatched) {
    const ReadResult read = readFile(journal);
    if (!read.ok)
        return;
    std::optional<Rewrite> rewrite = decode(read.bytes);
    if (!rewrite) {
        sys::removeFile(journal);
        return;
    }
    if (!besideFile.empty())
        rewrite->file = besideFile;
    if (!finish(journal, *rewrite))
        unmatched.push_back({rewrite->file, keepAside(journal)});
}

} // namespace

fs::path begin(const fs::path& file, std::string_view oldBytes, std::string_view newBytes,
               std::error_code& error) {
    const std::string text = encode(file, oldBytes, newBytes);
    fs::path journal = besideJournal(file);
    error = writeJournal(journal, text);
    if (sys::isPermissionError(error) && !(journal = stateJournal(file)).empty()) {
        fs::create_directories(journal.parent_path(), error);
        error = writeJournal(journal, text);
    }
    return error ? fs::path() : journal;
}

void end(const fs::path& journal) {
    sys::removeFile(journal);
}

std::vector<Unmatched> recover(const std::vector<fs::path>& files) {
    std::vector<std::pair<fs::path, fs::path>> journals; // and the file beside
    for (const fs::path& file : files)
        if (const fs::path real = sys::followLinks(file); filestore::exists(besideJournal(real)))
            journals.emplace_back(besideJournal(real), real);
    std::error_code error;
    const fs::path state = sys::stateFolder();
    for (auto it = fs::directory_iterator(state, error);
         !state.empty() && !error && it != fs::directory_iterator(); it.increment(error))
        if (pathText(it->path().filename()).ends_with(kStateEnd))
            journals.emplace_back(it->path(), fs::path());
    std::vector<Unmatched> unmatched;
    for (const auto& [journal, besideFile] : journals)
        recoverOne(journal, besideFile, unmatched);
    return unmatched;
}

} // namespace filestore::journal
