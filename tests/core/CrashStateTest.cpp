// Every state a power cut can leave in the middle of a save, a backup or a restore,
// replayed from the file calls the operation made, and start-up run on each: afterwards
// every game file and every backup must be whole, its old content or a new one.
//
// The persistence model. The file system is names leading to files (inodes): a rename
// moves a file to another name, and a file's content changes follow the file.
// - The power fails after any number of the recorded calls, from none to all of them.
// - A file's content changes (writes and size changes) since its last flush are each
//   lost or kept, independently of one another, and a kept write may be kept in part:
//   its first half only, or its second half only. When a file has more than four such
//   changes, the kept ones are the first few of them.
// - A folder's name changes (created, renamed, removed) since its last flush survive as
//   any first few of them, in their order, from none to all. A rename belongs to the
//   folder of its new name.
// - Files and folders keep their changes independently: a name may outlast the content
//   of its file.
// The states are the combinations of these choices at every crash point. States that
// leave the same files behind are started up once; a crash point with more than
// kStatesPerCrashPoint states is explored by a fixed random sample, and the output says so.

#include "inidigest/IniDigest.h"
#include "inidigest/IniEncoding.h"
#include "inidigest/IniText.h"
#include "platform/FileCallProbe.h"
#include "sync/GameFileBackup.h"
#include "sync/SettingsSync.h"
#include "sync/ValueCodec.h"

#include "IniHostFixture.h"
#include "MemoryValues.h"
#include "SampleGameFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <iostream>
#include <map>
#include <random>
#include <set>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kStatesPerCrashPoint = 1000;
// One file call as the platform layer reported it, its paths relative to the tree.
struct FileCall {
    enum Kind { Created, Wrote, Resized, Flushed, Renamed, Removed, FolderFlushed } kind;
    fs::path path;
    fs::path to;          // of a rename
    std::uint64_t at = 0; // offset of a write, new size of a resize
    std::string bytes;    // of a write
    bool namesChange() const { return kind == Created || kind == Renamed || kind == Removed; }
    fs::path folder() const {
        return kind == FolderFlushed ? path : (kind == Renamed ? to : path).parent_path();
    }
};

class CallRecorder : public filestore::probe::FileCallObserver {
public:
    explicit CallRecorder(fs::path root)
        : m_root(std::move(root)) {}
    void created(const fs::path& file) override { add(FileCall::Created, file); }
    void wrote(const fs::path& file, std::uint64_t offset, std::string_view bytes) override {
        add(FileCall::Wrote, file, {}, offset, bytes);
    }
    void resized(const fs::path& file, std::uint64_t size) override {
        add(FileCall::Resized, file, {}, size);
    }
    void flushed(const fs::path& file) override { add(FileCall::Flushed, file); }
    void renamed(const fs::path& from, const fs::path& to) override { add(FileCall::Renamed, from, to); }
    void removed(const fs::path& file) override { add(FileCall::Removed, file); }
    void folderFlushed(const fs::path& folder) override { add(FileCall::FolderFlushed, folder); }

    std::vector<FileCall> calls;

private:
    void add(FileCall::Kind kind, const fs::path& path, const fs::path& to = {}, std::uint64_t at = 0,
             std::string_view bytes = {}) {
        calls.push_back({kind, inTree(path), to.empty() ? to : inTree(to), at, std::string(bytes)});
    }
    fs::path inTree(const fs::path& path) const {
        fs::path relative = path.lexically_relative(m_root);
        if (relative.empty() || *relative.begin() == "..")
            relative = fs::weakly_canonical(path).lexically_relative(fs::weakly_canonical(m_root));
        EXPECT_FALSE(relative.empty() || *relative.begin() == "..") << path << " is outside the tree";
        return relative;
    }
    fs::path m_root;
};

// Names, relative to the tree's root, leading to files (numbers into `files`).
struct FileTree {
    std::map<fs::path, std::size_t> names;
    std::vector<std::string> files;

    std::string serialised() const {
        std::string out;
        for (const auto& [name, file] : names)
            out += name.generic_string() + '\n' + std::to_string(file) + '\n' + files[file] + '\0';
        return out;
    }
};

FileTree snapshot(const fs::path& root) {
    FileTree tree;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file())
            continue;
        const auto same = std::find_if(tree.names.begin(), tree.names.end(), [&](const auto& known) {
            return fs::equivalent(root / known.first, entry.path());
        });
        const std::size_t file = same != tree.names.end() ? same->second : tree.files.size();
        if (file == tree.files.size())
            tree.files.push_back(readBytes(entry.path()));
        tree.names[entry.path().lexically_relative(root)] = file;
    }
    return tree;
}

void materialise(const FileTree& tree, const fs::path& root) {
    std::map<std::size_t, fs::path> firstName;
    for (const auto& [name, file] : tree.names) {
        const fs::path path = root / name;
        fs::create_directories(path.parent_path());
        const auto [first, isFirst] = firstName.try_emplace(file, path);
        if (isFirst)
            writeBytes(path, tree.files[file]);
        else
            fs::create_hard_link(first->second, path);
    }
}

// How a change that was not flushed comes through the crash.
enum Keep { Lost, Kept, FirstHalf, SecondHalf };

void apply(const FileCall& call, std::size_t file, Keep keep, FileTree& tree) {
    if (call.kind == FileCall::Created) {
        tree.names[call.path] = file;
    } else if (call.kind == FileCall::Renamed) {
        tree.names.erase(call.path);
        tree.names[call.to] = file;
    } else if (call.kind == FileCall::Removed) {
        tree.names.erase(call.path);
    } else if (call.kind == FileCall::Resized) {
        tree.files[file].resize(call.at, '\0');
    } else if (call.kind == FileCall::Wrote) {
        std::string& bytes = tree.files[file];
        const std::size_t half = call.bytes.size() / 2;
        const std::size_t from = keep == SecondHalf ? half : 0;
        const std::size_t to = keep == FirstHalf ? half : call.bytes.size();
        if (bytes.size() < call.at + to)
            bytes.resize(call.at + to, '\0');
        bytes.replace(call.at + from, to - from, call.bytes, from, to - from);
    }
}

// Unflushed calls that come through one crash, and how.
using Outcome = std::vector<std::pair<std::size_t, Keep>>;

// The ways the unflushed changes of one folder or one file come through a crash.
std::vector<Outcome> outcomes(const std::vector<std::size_t>& changes, const std::vector<FileCall>& calls) {
    std::vector<Outcome> ways(1);
    if (calls[changes.front()].namesChange() || changes.size() > 4) { // the first few of them
        for (std::size_t call : changes) {
            ways.push_back(ways.back());
            ways.back().emplace_back(call, Kept);
        }
        return ways;
    }
    for (std::size_t call : changes) {
        std::vector<Outcome> more;
        const int last = calls[call].kind == FileCall::Wrote ? SecondHalf : Kept;
        for (const Outcome& way : ways)
            for (int keep = Lost; keep <= last; ++keep) {
                more.push_back(way);
                if (keep != Lost)
                    more.back().emplace_back(call, static_cast<Keep>(keep));
            }
        ways = std::move(more);
    }
    return ways;
}

// One crash point: what the calls made before it left flushed and what not.
struct CrashPoint {
    std::size_t calls = 0;
    std::vector<std::size_t> fileOf;                         // per call: the file it changes or names
    std::set<std::size_t> lasting;                           // calls flushed before the crash
    std::map<std::string, std::vector<std::size_t>> pending; // per folder and file: its unflushed changes

    // The files left by choice number `index` among the combinations of `ways`.
    FileTree state(std::size_t index, const std::vector<std::vector<Outcome>>& ways, const FileTree& before,
                   const std::vector<FileCall>& all) const {
        std::map<std::size_t, Keep> kept;
        for (std::size_t call : lasting)
            kept[call] = Kept;
        for (const std::vector<Outcome>& choice : ways) {
            kept.insert(choice[index % choice.size()].begin(), choice[index % choice.size()].end());
            index /= choice.size();
        }
        FileTree tree = before;
        tree.files.resize(before.files.size() + calls); // room for every file created
        for (const auto& [call, keep] : kept)
            apply(all[call], fileOf[call], keep, tree);
        return tree;
    }
};

// Calls `visit` with each crash point, from before the first call to after the last.
void walkCrashPoints(const FileTree& before, const std::vector<FileCall>& all,
                     const std::function<void(const CrashPoint&)>& visit) {
    CrashPoint point;
    std::map<fs::path, std::size_t> live = before.names;
    for (std::size_t i = 0;; ++i) {
        point.calls = i;
        visit(point);
        if (i == all.size())
            return;
        const FileCall& call = all[i];
        const auto known = live.find(call.path);
        std::size_t file = known != live.end() ? known->second : SIZE_MAX;
        if (file == SIZE_MAX && call.kind != FileCall::Created && call.kind != FileCall::FolderFlushed)
            return ADD_FAILURE() << call.path << " is no file the tree had or the calls created";
        if (call.kind == FileCall::Created)
            file = live[call.path] = before.files.size() + i;
        else if (call.namesChange())
            live.erase(call.path);
        if (call.kind == FileCall::Renamed)
            live[call.to] = file;
        point.fileOf.push_back(file);
        const bool ofFolder = call.namesChange() || call.kind == FileCall::FolderFlushed;
        const std::string key = ofFolder ? "folder " + call.folder().generic_string() : std::to_string(file);
        if (call.kind == FileCall::Flushed || call.kind == FileCall::FolderFlushed) {
            point.lasting.insert(point.pending[key].begin(), point.pending[key].end());
            point.pending.erase(key);
        } else {
            point.pending[key].push_back(i);
        }
    }
}

// The contents each checked name may have after start-up.
using Accepted = std::map<fs::path, std::set<std::string>>;

// What is wrong with the tree at `root` after start-up; empty when nothing is.
std::string problemIn(const fs::path& root, const Accepted& accepted, const FileTree& before) {
    for (const auto& [name, versions] : accepted) {
        if (!fs::exists(root / name))
            return name.generic_string() + " is missing";
        const std::string bytes = readBytes(root / name);
        if (!versions.count(bytes))
            return name.generic_string() + " is torn (" + std::to_string(bytes.size()) + " bytes)";
    }
    for (const auto& [name, file] : before.names)
        for (const auto& [other, same] : before.names)
            if (same == file && name < other && !fs::equivalent(root / name, root / other))
                return name.generic_string() + " and " + other.generic_string() + " are no longer one file";
    return {};
}

// Puts the state in place of the files at `root`, starts up there and checks the files.
// The folders stay from one state to the next: removing a folder costs a journal commit.
std::string problemAfterStartUp(const fs::path& root, const FileTree& state, const Accepted& accepted,
                                const FileTree& before) {
    try {
        std::vector<fs::path> files;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root))
            if (!entry.is_directory())
                files.push_back(entry.path());
        for (const fs::path& file : files)
            fs::remove(file);
        materialise(state, root);
        InitIniDigest();
        return problemIn(root, accepted, before);
    } catch (const std::exception& error) {
        return std::string("start-up failed: ") + error.what();
    }
}

struct Findings {
    std::size_t states = 0;   // crash states explored
    std::size_t distinct = 0; // different file trees among them, each started up once
    std::size_t violations = 0;
    std::size_t sampled = 0; // crash points with more than kStatesPerCrashPoint states
    std::string firstViolation;
};

Findings explore(const FileTree& before, const std::vector<FileCall>& calls, const Accepted& accepted) {
    Findings findings;
    std::mt19937_64 random(23);
    std::set<std::string> seen;
    ScopedIniHost host({}, false);
    walkCrashPoints(before, calls, [&](const CrashPoint& point) {
        std::vector<std::vector<Outcome>> ways;
        for (const auto& [key, changes] : point.pending)
            ways.push_back(outcomes(changes, calls));
        std::size_t count = 1;
        for (const auto& choice : ways)
            count = std::min<std::size_t>(count * choice.size(), SIZE_MAX / 1024);
        findings.sampled += count > kStatesPerCrashPoint;
        for (std::size_t n = 0; n < std::min(count, kStatesPerCrashPoint); ++n) {
            ++findings.states;
            const std::size_t index = count > kStatesPerCrashPoint ? random() % count : n;
            const FileTree state = point.state(index, ways, before, calls);
            if (!seen.insert(state.serialised()).second)
                continue;
            ++findings.distinct;
            const std::string problem =
                problemAfterStartUp(host.documents().parent_path(), state, accepted, before);
            if (!problem.empty() && findings.violations++ == 0)
                findings.firstViolation = "after call " + std::to_string(point.calls) + " of " +
                                          std::to_string(calls.size()) + ": " + problem;
        }
    });
    return findings;
}

// ---------------------------------------------------------------------------------------
// The operations

enum class Operation { Save, Export, Backup, Restore };

struct Case {
    const char* name;
    Operation operation;
    bool inPlace; // each game file has a second name elsewhere, so it is rewritten where it is
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

// Every setting changed from what the sample files hold, texts to other lengths.
MemoryValues changedValues() {
    MemoryValues values;
    StoppedLoad stopped;
    settingsync::loadFromGameFiles(values, stopped);
    for (const CatalogueRow& row : settingsCatalogue()) {
        values.boxes.find(row.control)->second ^= true;
        values.texts.find(row.control)->second += "1";
    }
    return values;
}

class CrashState : public testing::TestWithParam<Case> {
protected:
    fs::path root() const { return ini.documents().parent_path(); }
    fs::path name(const fs::path& file) const { return file.lexically_relative(root()); }

    // Writes the game files (and their backups, which a save leaves alone), says which
    // contents each may have besides what the whole operation leaves, and returns the
    // operation.
    std::function<void()> prepare(const Case& c, Accepted& accepted) {
        const std::string sample[] = {kSampleEngineIni, kSampleGameIni, kSampleInputIni};
        ini.writeSampleGameFiles();
        values = changedValues();
        if (c.operation == Operation::Export)
            accepted[name(ini.tweakFile())] = {readBytes(ini.tweakFile())};
        for (int i = 0; i < 3; ++i) {
            const fs::path file = ini.gameFile(kGameFiles[i]);
            const fs::path backup = ini.gameFile(kGameFiles[i] + std::string(".bak"));
            // One backup longer than its file, one shorter, one of the same length.
            const std::string copy = i == 0   ? "; an older backup\r\n" + sample[i]
                                     : i == 1 ? sample[i].substr(0, sample[i].size() / 2)
                                              : replaced(sample[i], "0.25", "0.75");
            accepted[name(file)] = {sample[i]};
            if (c.operation == Operation::Backup || c.operation == Operation::Restore) {
                writeBytes(backup, copy);
                accepted[name(backup)] = {copy};
                accepted[name(c.operation == Operation::Backup ? backup : file)].insert(
                    c.operation == Operation::Backup ? sample[i] : copy);
            }
        }
        // A file the operation writes has a second name elsewhere: it is rewritten in place.
        for (const fs::path& file : c.inPlace ? linkedFiles(c) : std::vector<fs::path>{}) {
            fs::create_directories(root() / "links");
            fs::create_hard_link(file, root() / "links" / file.filename());
            accepted[fs::path("links") / file.filename()] = accepted[name(file)];
        }
        switch (c.operation) {
        case Operation::Backup:
            return [] { EXPECT_EQ(gamebackup::backupGameFiles().error, ""); };
        case Operation::Restore:
            return [] { EXPECT_EQ(gamebackup::restoreGameFiles().error, ""); };
        case Operation::Export:
            return [this] { EXPECT_EQ(settingsync::exportToTweakFile(values, StoppedLoad()).error, ""); };
        case Operation::Save:
            break;
        }
        return [this] { EXPECT_EQ(settingsync::saveToGameFiles(values, StoppedLoad()).error, ""); };
    }

    std::vector<fs::path> linkedFiles(const Case& c) const {
        if (c.operation == Operation::Export)
            return {ini.tweakFile()};
        std::vector<fs::path> files;
        for (const char* file : kGameFiles)
            files.push_back(ini.gameFile(file));
        return files;
    }

    // A file a save or an export writes may be old or as the whole operation leaves it:
    // each is written once, never a version with only some of its keys.
    static void acceptWhatTheOperationLeft(const fs::path& root, Accepted& accepted) {
        for (auto& [file, versions] : accepted)
            versions.insert(readBytes(root / file));
    }

    ScopedIniHost ini;
    MemoryValues values;
};

TEST_P(CrashState, EveryFileIsWholeAfterStartUp) {
    const Case& c = GetParam();
    Accepted accepted;
    const std::function<void()> operation = prepare(c, accepted);
    const FileTree before = snapshot(root());
    CallRecorder recorder(root());
    {
        const filestore::probe::ScopedObserver observing(recorder);
        operation();
    }
    ASSERT_TRUE(ini.messages.empty()) << ini.messages.front();
    if (c.operation == Operation::Save || c.operation == Operation::Export)
        acceptWhatTheOperationLeft(root(), accepted);
    for (const auto& [file, versions] : accepted)
        ASSERT_TRUE(versions.count(readBytes(root() / file))) << file << " after the whole operation";

    const Findings found = explore(before, recorder.calls, accepted);
    std::cout << "[ crashes  ] " << c.name << ": " << recorder.calls.size() << " file calls, " << found.states
              << " crash states explored"
              << (found.sampled ? " (" + std::to_string(found.sampled) + " crash points sampled)" : "")
              << ", " << found.distinct << " distinct, " << found.violations << " violations\n";
    RecordProperty("crashStates", static_cast<int>(found.states));
    RecordProperty("violations", static_cast<int>(found.violations));
    EXPECT_EQ(found.violations, 0u) << "first: " << found.firstViolation;
}

const Case kCases[] = {
    {"saveByReplacement", Operation::Save, false},
    {"saveInPlace", Operation::Save, true},
    {"exportByReplacement", Operation::Export, false},
    {"exportInPlace", Operation::Export, true},
    {"backup", Operation::Backup, false},
    {"restoreByReplacement", Operation::Restore, false},
    {"restoreInPlace", Operation::Restore, true},
};

INSTANTIATE_TEST_SUITE_P(CrashState, CrashState, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
