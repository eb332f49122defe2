// The program killed in the middle of a save, a backup or a restore, and a disk that fills
// up during a save. Whatever moment the process dies at, each game file and each backup
// must be one of the whole files that complete writes produce: never a truncated file,
// never a lost line. The writes run in a child process that is killed with SIGKILL.
#ifndef _WIN32

#include "inidigest/IniDigest.h"
#include "inidigest/IniEncoding.h"
#include "inidigest/IniLayer.h"
#include "inidigest/IniText.h"
#include "platform/FileStore.h"
#include "settings/Catalogue.h"
#include "sync/GameFileBackup.h"
#include "sync/ValueCodec.h"

#include "IniHostFixture.h"
#include "MemoryValues.h"
#include "SampleGameFiles.h"
#include "TextLines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <functional>
#include <iostream>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <stdexcept>
#include <thread>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kKillsPerTest = 220;
constexpr int kMinKillWindowMicroseconds = 3000;
constexpr int kMaxKillWindowMicroseconds = 20000;
// Enough for the kills on a slow machine, also under the sanitizers (about 10 kills a
// second there); the loops stop here whatever the count.
constexpr auto kTimeBudget = std::chrono::seconds(45);

// ---------------------------------------------------------------------------------------
// Text helpers

std::string shortened(std::string_view s) {
    std::string out;
    for (char c : s.substr(0, 80)) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return s.size() > 80 ? out + "..." : out;
}

std::string encoded(const std::string& text, iniencoding::Encoding encoding) {
    return iniencoding::encode(text, encoding);
}

// ---------------------------------------------------------------------------------------
// The two value sets a save alternates between. The second set writes longer text, so
// that a file cut off at the length of the first would show.

const MemoryValues& valueSet(int set) {
    static const std::array<MemoryValues, 2> sets = [] {
        std::array<MemoryValues, 2> values;
        for (std::size_t i = 0; i < settingsCatalogue().size(); ++i) {
            const std::string control(settingsCatalogue()[i].control);
            for (int n = 0; n < 2; ++n) {
                values[n].boxes[control] = (i % 2 == 0) == (n == 0);
                values[n].texts[control] =
                    n == 0 ? std::to_string(i) : std::to_string(-100000 - static_cast<int>(i));
            }
        }
        return values;
    }();
    return sets[static_cast<std::size_t>(set)];
}

// The text a save of `set` leaves in the key of row `index`: a row that writes nothing
// keeps what the first set wrote.
std::string valueOf(std::size_t index, int set) {
    const CatalogueRow& row = settingsCatalogue()[index];
    const auto first = codecOf(row.kind).writtenText(valueSet(0), row);
    const auto written = codecOf(row.kind).writtenText(valueSet(set), row);
    return written.value_or(first.value_or(""));
}

// Writes one catalogue key as a save writes it.
void writeRow(std::size_t index, int set) {
    const CatalogueRow& row = settingsCatalogue()[index];
    codecOf(row.kind).write(row.target, row, valueSet(set));
}

// ---------------------------------------------------------------------------------------
// Game files in the game's style, with everything a careless write could lose: comments,
// keys the program does not know, LF and CR line ends, a duplicate section whose keys
// must not be touched, catalogue keys in odd spellings, and no final line end.

std::string sectionBody(IniTarget target, std::string_view section, int& filler) {
    std::string body;
    for (std::size_t i = 0; i < settingsCatalogue().size(); ++i) {
        const CatalogueRow& row = settingsCatalogue()[i];
        if (row.target != target || row.section != section)
            continue;
        const std::string key(row.key);
        body += "; " + key + " is set by the program\r\n";
        body += "Unknown" + std::to_string(filler++) + "=keep me = as I am\n";
        body += "  " + key + " = TRUE \r\n";
        body += key + "=second of the name\r\n"; // only the first is written
        body += "Tabbed\t=\tvalue\r";
    }
    return body;
}

std::string gameFileText(IniTarget target, std::size_t paddingLines) {
    std::string text = target == EngineIni ? "[IniVersion]\r\nPatch=5\r\n\r\n" : "; written by the game\r\n";
    std::set<std::string_view> done;
    int filler = 0;
    for (const CatalogueRow& row : settingsCatalogue()) {
        if (row.target != target || !done.insert(row.section).second)
            continue;
        text += "[" + std::string(row.section) + "]\r\n" + sectionBody(target, row.section, filler) + "\r\n";
    }
    text += "[Core.System]\r\n";
    for (std::size_t i = 0; i < paddingLines; ++i)
        text += "Paths=..\\Content\\Maps\\Package" + std::to_string(i) + "_with_a_long_name\r\n";
    // A second heading of a known section: only the first heading of a name counts.
    const std::string first(
        std::find_if(settingsCatalogue().begin(), settingsCatalogue().end(), [&](const CatalogueRow& r) {
            return r.target == target;
        })->section);
    text += "[" + first + "]\r\n";
    for (const CatalogueRow& row : settingsCatalogue())
        if (row.target == target && row.section == first)
            text += std::string(row.key) + "=from the duplicate section\r\n";
    text += "; no line end after this line";
    return text;
}

// ---------------------------------------------------------------------------------------
// What a game file may look like at any moment: its lines after one complete pass of the
// first value set, where each catalogue key line may instead hold the second value.

struct FileModel {
    IniTarget target;
    fs::path path;
    iniencoding::Encoding encoding;
    std::vector<std::string> lines;
    std::map<std::size_t, std::array<std::string, 2>> keyLines; // line index -> the two forms
    std::vector<std::size_t> rows;                              // catalogue rows in this file
};

FileModel modelOf(IniTarget target, const fs::path& path) {
    const auto file = iniencoding::decode(readBytes(path));
    FileModel model{target, path, file.encoding, linesOf(file.text), {}, {}};
    for (std::size_t i = 0; i < settingsCatalogue().size(); ++i) {
        const CatalogueRow& row = settingsCatalogue()[i];
        if (row.target != target)
            continue;
        model.rows.push_back(i);
        const auto withFirst = linesOf(initext::writeValue(file.text, row.section, row.key, valueOf(i, 0)));
        const auto withSecond = linesOf(initext::writeValue(file.text, row.section, row.key, valueOf(i, 1)));
        EXPECT_EQ(withFirst, model.lines) << row.key << ": the file does not hold the first value set";
        EXPECT_EQ(withSecond.size(), model.lines.size()) << row.key << ": a write would add a line";
        for (std::size_t line = 0; line < model.lines.size() && line < withSecond.size(); ++line) {
            if (withSecond[line] != model.lines[line])
                model.keyLines[line] = {model.lines[line], withSecond[line]};
        }
    }
    std::size_t changing = 0;
    for (std::size_t index : model.rows)
        changing += valueOf(index, 0) != valueOf(index, 1);
    EXPECT_EQ(model.keyLines.size(), changing) << "one line per catalogue key that changes";
    return model;
}

// Empty when `bytes` is a file the model allows, else what is wrong with it.
std::string problemsIn(const FileModel& model, const std::string& bytes) {
    const auto file = iniencoding::decode(bytes);
    if (file.encoding != model.encoding)
        return "the encoding changed";
    if (encoded(file.text, file.encoding) != bytes)
        return "not whole UTF-16 units";
    const std::vector<std::string> lines = linesOf(file.text);
    if (lines.size() != model.lines.size())
        return std::to_string(lines.size()) + " lines instead of " + std::to_string(model.lines.size()) +
               " (" + std::to_string(bytes.size()) + " bytes)";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto key = model.keyLines.find(i);
        const bool ok = key == model.keyLines.end()
                            ? lines[i] == model.lines[i]
                            : (lines[i] == key->second[0] || lines[i] == key->second[1]);
        if (!ok)
            return "line " + std::to_string(i + 1) + " is \"" + shortened(lines[i]) + "\" instead of \"" +
                   shortened(model.lines[i]) + "\"";
    }
    for (std::size_t index : model.rows) {
        const CatalogueRow& row = settingsCatalogue()[index];
        const auto value = initext::readValue(file.text, row.section, row.key);
        if (!value || (*value != valueOf(index, 0) && *value != valueOf(index, 1)))
            return std::string(row.key) + " reads as \"" + shortened(value.value_or("<missing>")) + "\"";
    }
    return {};
}

// ---------------------------------------------------------------------------------------
// Child processes

// Runs `body` in a child process. What it throws comes back through the returned pipe;
// the child never returns into the test program.
struct Child {
    pid_t pid = -1;
    int pipe = -1;
};

Child startChild(const std::function<void()>& body) {
    int fds[2];
    if (::pipe(fds) != 0)
        throw std::runtime_error("pipe failed");
    const pid_t pid = fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::close(fds[0]);
        std::string report = "the child's work ended";
        try {
            body();
        } catch (const std::exception& error) {
            report = error.what();
        } catch (...) {
            report = "an unknown exception";
        }
        [[maybe_unused]] const ssize_t n = ::write(fds[1], report.data(), report.size());
        _exit(3);
    }
    ::close(fds[1]);
    return {pid, fds[0]};
}

std::string readPipe(int fd) {
    std::string text;
    char buffer[512];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    ::close(fd);
    return text;
}

// Waits for a child that ends by itself; kills it after `limit`. Returns its status.
int waitFor(const Child& child, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    int status = 0;
    while (waitpid(child.pid, &status, WNOHANG) == 0) {
        if (Clock::now() > deadline) {
            kill(child.pid, SIGKILL);
            waitpid(child.pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return status;
}

// In the child: a walk's error ends the child's work, as an error thrown there does.
void throwIfStopped(const WalkResult& walk) {
    if (!walk.error.empty())
        throw std::runtime_error(walk.error);
}

// In the child: the access layer pointed at the test's folders, as at start-up. A message
// box would mean something went wrong, so it ends the child's work with its text.
void pointLayerAt(const fs::path& documents, const fs::path& program) {
    IniHost host;
    host.personalFolder = [documents] { return documents.string(); };
    host.executableFolder = [program] { return program.string(); };
    host.showMessage = [](const std::string& text) { throw std::runtime_error("message box: " + text); };
    host.creationTimestamp = [] { return std::string("07.12.2026, 10:31:05"); };
    ResetIniLayer(std::move(host));
    InitIniDigest();
}

// ---------------------------------------------------------------------------------------
// The kill loop

// The bytes of the files a loop looks at, by file name.
using Snapshot = std::map<std::string, std::string>;

// A whole file in one read (the checks read thousands of files).
std::string wholeFile(const fs::path& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        throw std::runtime_error("cannot read " + path.string());
    std::string bytes;
    char buffer[1 << 16];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        bytes.append(buffer, n);
    std::fclose(file);
    return bytes;
}

struct KillStats {
    int kills = 0;
    int changed = 0;     // kills after which some file differed from before the kill
    int interrupted = 0; // kills that left the temporary file of an unfinished write
    std::chrono::microseconds maxDelay{};
    Clock::duration time{};
};

std::ostream& operator<<(std::ostream& out, const KillStats& stats) {
    return out << stats.kills << " kills at 0-" << stats.maxDelay.count() << " us, " << stats.changed
               << " after a completed write, " << stats.interrupted
               << " in the middle of a write (temporary file left), "
               << std::chrono::duration_cast<std::chrono::milliseconds>(stats.time).count() << " ms";
}

// How long to wait at most before a kill: long enough for the child to get through a
// couple of its steps (`oneStep`, measured beforehand; a flush to disk alone can take ten
// milliseconds), at least 3 ms and at most 20 ms so that the loop stays short.
std::chrono::microseconds killWindow(Clock::duration oneStep) {
    return std::clamp(std::chrono::duration_cast<std::chrono::microseconds>(2 * oneStep),
                      std::chrono::microseconds(kMinKillWindowMicroseconds),
                      std::chrono::microseconds(kMaxKillWindowMicroseconds));
}

class CrashSafety : public testing::Test {
protected:
    fs::path file(const std::string& name) const { return ini.gameFile(name); }

    Snapshot snapshot(const std::set<std::string>& files) const {
        Snapshot bytes;
        for (const std::string& name : files)
            bytes[name] = wholeFile(file(name));
        return bytes;
    }

    // Starts `work` in a child again and again and kills it at a random moment up to
    // `maxDelay` later. `check` judges the files (empty when all is well); a state seen
    // before is not judged twice. The child is told the kill number, so that each child
    // can start somewhere else in its loop.
    KillStats killRepeatedly(const std::function<void(int)>& work,
                             const std::function<std::string(const Snapshot&)>& check,
                             const std::set<std::string>& files, std::chrono::microseconds maxDelay,
                             const std::function<void()>& startUp = {}) {
        std::mt19937 random(20261207);
        std::uniform_int_distribution<long> delay(0, maxDelay.count());
        KillStats stats;
        stats.maxDelay = maxDelay;
        const auto start = Clock::now();
        Snapshot last = snapshot(files);
        if (const std::string problem = check(last); !problem.empty()) {
            ADD_FAILURE() << "before the first kill: " << problem;
            return stats;
        }
        while (stats.kills < kKillsPerTest && Clock::now() - start < kTimeBudget) {
            const int number = stats.kills;
            const Child child = startChild([&] { work(number); });
            std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
            kill(child.pid, SIGKILL);
            int status = 0;
            waitpid(child.pid, &status, 0);
            const std::string report = readPipe(child.pipe);
            ++stats.kills;
            if (!WIFSIGNALED(status) || WTERMSIG(status) != SIGKILL) {
                ADD_FAILURE() << "kill " << number << ": the child stopped by itself: " << report;
                break;
            }
            if (startUp)
                startUp();
            Snapshot now = snapshot(files);
            if (now != last) {
                ++stats.changed;
                if (const std::string problem = check(now); !problem.empty()) {
                    ADD_FAILURE() << "after kill " << number << ": " << problem;
                    break;
                }
                last = std::move(now);
            }
            // One write at a time leaves one temporary; backup and restore prepare one per
            // file before the first is put in place.
            const std::map<std::string, int> leftovers = removeLeftovers(files);
            for (const auto& [name, count] : leftovers)
                if (count > 1)
                    ADD_FAILURE() << "after kill " << number << ": " << count << " temporary files of "
                                  << name;
            if (HasFailure())
                break;
            stats.interrupted += !leftovers.empty();
        }
        stats.time = Clock::now() - start;
        return stats;
    }

    // Removes the temporary files of a killed write and returns how many each file had.
    // Anything else in the folder besides `files` fails the test. The program does not
    // remove these itself; they are removed here so that each kill is judged on its own.
    std::map<std::string, int> removeLeftovers(const std::set<std::string>& files) {
        static const std::regex temporary(R"((.+)\.knobwerk-\d+\.tmp)");
        std::map<std::string, int> count;
        for (const fs::directory_entry& entry : fs::directory_iterator(ini.configFolder())) {
            const std::string name = entry.path().filename().string();
            std::smatch match;
            if (files.count(name))
                continue;
            if (std::regex_match(name, match, temporary) && files.count(match[1].str())) {
                ++count[match[1].str()];
                fs::remove(entry.path());
                continue;
            }
            ADD_FAILURE() << "stray file " << name;
        }
        return count;
    }

    void killSaves(bool inPlace);

    void report(const char* what, const KillStats& stats) {
        std::cout << "[   kills  ] " << what << ": " << stats << "\n";
        RecordProperty("kills", stats.kills);
        RecordProperty("interruptedWrites", stats.interrupted);
        RecordProperty("completedWrites", stats.changed);
    }

    ScopedIniHost ini;
};

// Kills saves again and again. In place: each game file has a second name elsewhere,
// so it is rewritten where it is, and the program starts up after each kill.
void CrashSafety::killSaves(bool inPlace) {
    // A game folder of realistic size; UTInput.ini is one the game wrote in UTF-16.
    const std::string original[] = {gameFileText(EngineIni, 600), gameFileText(GameIni, 200),
                                    gameFileText(InputIni, 100)};
    writeBytes(file("UTEngine.ini"), original[0]);
    writeBytes(file("UTGame.ini"), original[1]);
    writeBytes(file("UTInput.ini"), encoded(original[2], iniencoding::Encoding::Utf16Le));

    // One complete save of the first set; from here on every key holds one of the two.
    const std::size_t count = settingsCatalogue().size();
    const auto saveStart = Clock::now();
    for (std::size_t i = 0; i < count; ++i)
        writeRow(i, 0);
    const Clock::duration oneWrite = (Clock::now() - saveStart) / count;
    ASSERT_TRUE(ini.messages.empty());
    std::vector<FileModel> models;
    for (IniTarget target : {EngineIni, GameIni, InputIni}) {
        models.push_back(modelOf(target, file(kGameFiles[target - EngineIni])));
        const auto originalLines = linesOf(original[target - EngineIni]);
        ASSERT_EQ(models.back().lines.size(), originalLines.size());
        std::size_t changedLines = 0;
        for (std::size_t i = 0; i < originalLines.size(); ++i)
            changedLines += models.back().lines[i] != originalLines[i];
        ASSERT_LE(changedLines, models.back().rows.size()) << "the first save changed more than key lines";
    }
    ASSERT_FALSE(HasFailure());
    if (inPlace) {
        fs::create_directory(ini.documents() / "linked");
        for (const char* name : kGameFiles)
            fs::create_hard_link(file(name), ini.documents() / "linked" / name);
    }

    // Each child saves for ever: every key in catalogue order, alternating between the
    // two sets, starting at a different key each time so that kills land on every key.
    const fs::path documents = ini.documents();
    const fs::path program = ini.programFolder();
    const auto save = [&](int kill) {
        pointLayerAt(documents, program);
        for (std::size_t n = static_cast<std::size_t>(kill) * 37 % (2 * count);; ++n)
            writeRow(n % count, static_cast<int>(n / count % 2));
    };
    const auto check = [&](const Snapshot& files) {
        for (const FileModel& model : models) {
            const std::string name = model.path.filename().string();
            if (std::string problem = problemsIn(model, files.at(name)); !problem.empty())
                return name + ": " + problem;
        }
        return std::string();
    };
    // A child first starts up as the program does: the kills must reach past that.
    const auto childStart = Clock::now();
    const Child first = startChild([&] {
        pointLayerAt(documents, program);
        writeRow(0, 0);
    });
    waitFor(first, std::chrono::seconds(10));
    readPipe(first.pipe);
    const auto startUpTime = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - childStart);
    int cutShort = 0; // kills that left a rewrite in place unfinished
    const auto startUp = [&] {
        if (!inPlace)
            return;
        for (const char* name : kGameFiles)
            cutShort += fs::exists(file(std::string(name) + ".knobwerk-journal"));
        InitIniDigest();
    };
    const KillStats stats = killRepeatedly(save, check, {"UTEngine.ini", "UTGame.ini", "UTInput.ini"},
                                           2 * startUpTime + killWindow(oneWrite), startUp);
    report(inPlace ? "save in place" : "save", stats);
    if (inPlace)
        std::cout << "[   kills  ] save in place: " << cutShort
                  << " rewrites cut short, put back at start-up\n";
    if (!HasFailure()) {
        EXPECT_GE(stats.kills, 200);
        EXPECT_GT(stats.changed, 0) << "no child ever completed a write";
        EXPECT_TRUE(ini.messages.empty()) << ini.messages.front();
    }
}

TEST_F(CrashSafety, KilledSaveLeavesEveryGameFileWholeAndEachKeyOldOrNew) {
    killSaves(false);
}

TEST_F(CrashSafety, KilledInPlaceSaveLeavesEveryGameFileWholeAfterStartUp) {
    killSaves(true);
}

// The backups of the three files, or the files from their backups: every copy either
// happened completely or not at all.
class CrashSafetyCopies : public CrashSafety {
protected:
    void SetUp() override {
        // Sizes from a few kilobytes to a quarter megabyte, old and new of different length.
        const std::size_t padding[] = {4000, 800, 40};
        for (std::size_t i = 0; i < 3; ++i) {
            const std::string name = kGameFiles[i];
            const IniTarget target = static_cast<IniTarget>(EngineIni + i);
            newer[name] = gameFileText(target, padding[i]);
            older[name] = "; the previous backup\r\n" + gameFileText(target, padding[i] / 2 + 7);
        }
    }

    // Each child runs `round` for ever, from its kill number on; after each kill each
    // target is the older or the newer file and each source is unchanged.
    void killCopies(const char* what, const std::function<void(int)>& round, const std::string& targetSuffix,
                    const std::string& sourceSuffix) {
        std::set<std::string> files;
        for (const char* name : kGameFiles) {
            files.insert(name + targetSuffix);
            files.insert(name + sourceSuffix);
        }
        const auto check = [&](const Snapshot& now) {
            for (const char* name : kGameFiles) {
                const std::string& target = now.at(name + targetSuffix);
                if (target != older[name] && target != newer[name])
                    return name + targetSuffix + " is neither the old nor the new file (" +
                           std::to_string(target.size()) + " bytes, expected " +
                           std::to_string(older[name].size()) + " or " + std::to_string(newer[name].size()) +
                           ")";
                if (now.at(name + sourceSuffix) != newer[name])
                    return name + sourceSuffix + " was changed";
            }
            return std::string();
        };
        // Two rounds bring the files back to where they are now; they set the pace.
        const auto calibration = Clock::now();
        round(0);
        round(1);
        const Clock::duration oneRound = (Clock::now() - calibration) / 2;
        const auto work = [&](int kill) {
            for (int n = kill;; ++n)
                round(n);
        };
        const KillStats stats = killRepeatedly(work, check, files, killWindow(oneRound));
        report(what, stats);
        if (!HasFailure()) {
            EXPECT_GE(stats.kills, 200);
            EXPECT_GT(stats.changed, 0) << "no child ever completed a copy";
        }
    }

    // The files named with `sourceSuffix` hold the newer texts, those with `targetSuffix`
    // the older ones. Even rounds are the program's `copy`; odd rounds put the older
    // files back with the program's file copy, as an earlier run would have left them.
    void killCopiesOf(const char* what, void (*copy)(), const std::string& sourceSuffix,
                      const std::string& targetSuffix) {
        for (const char* name : kGameFiles) {
            writeBytes(file(name + sourceSuffix), newer[name]);
            writeBytes(file(name + targetSuffix), older[name]);
        }
        TempFolder stash;
        for (const char* name : kGameFiles)
            writeBytes(stash.path() / name, older[name]);
        const auto round = [&](int n) {
            if (n % 2 == 0)
                return copy();
            for (const char* name : kGameFiles)
                gamebackup::copyWholeFile((stash.path() / name).string(), file(name + targetSuffix).string());
        };
        killCopies(what, round, targetSuffix, sourceSuffix);
    }

    std::map<std::string, std::string> older;
    std::map<std::string, std::string> newer;
};

TEST_F(CrashSafetyCopies, KilledBackupLeavesEachBackupOldOrNew) {
    // The game files are what is backed up; the ".bak" files hold an older backup.
    killCopiesOf(
        "backup", [] { throwIfStopped(gamebackup::backupGameFiles()); }, "", ".bak");
}

TEST_F(CrashSafetyCopies, KilledRestoreLeavesEachGameFileOldOrRestored) {
    // The ".bak" files are what is restored; the game files hold the player's later edits.
    killCopiesOf(
        "restore", [] { throwIfStopped(gamebackup::restoreGameFiles()); }, ".bak", "");
}

// A disk that fills up while the temporary file is written: the write fails with the
// program's message and the game file keeps every byte. RLIMIT_FSIZE stands in for the
// full disk; the child ignores SIGXFSZ so that the write fails instead of the process.
TEST_F(CrashSafety, FullDiskKeepsTheGameFileAndReportsUnableToWrite) {
    const std::string engine = gameFileText(EngineIni, 800);
    const std::string input = encoded(gameFileText(InputIni, 200), iniencoding::Encoding::Utf16Le);
    struct Case {
        const char* file;
        IniTarget target;
        const char* section;
        const char* key;
        std::string original;
    };
    const Case cases[] = {{"UTEngine.ini", EngineIni, "SystemSettings", "ScreenPercentage", engine},
                          {"UTInput.ini", InputIni, "Engine.PlayerInput", "DoubleClickTime", input}};
    const std::string value = "100.000000000000000000";
    const fs::path documents = ini.documents();
    const fs::path program = ini.programFolder();
    // In place: the file has a second name elsewhere, so it is rewritten where it is.
    for (const bool inPlace : {false, true})
        for (const Case& c : cases) {
            const auto decoded = iniencoding::decode(c.original);
            const std::size_t newSize =
                encoded(initext::writeValue(decoded.text, c.section, c.key, value), decoded.encoding).size();
            ASSERT_GT(newSize, c.original.size());
            // Nothing fits; a little fits; the old size fits; all but the last byte fit.
            for (const rlim_t limit :
                 {rlim_t{0}, rlim_t{4096}, rlim_t{c.original.size()}, rlim_t{newSize - 1}}) {
                SCOPED_TRACE(std::string(c.file) + " with room for " + std::to_string(limit) + " bytes" +
                             (inPlace ? ", in place" : ""));
                writeBytes(file(c.file), c.original);
                const fs::path secondName = documents / c.file;
                if (inPlace)
                    fs::create_hard_link(file(c.file), secondName);
                const Child child = startChild([&] {
                    pointLayerAt(documents, program);
                    std::signal(SIGXFSZ, SIG_IGN);
                    const rlimit room{limit, limit};
                    if (setrlimit(RLIMIT_FSIZE, &room) != 0)
                        throw std::runtime_error("setrlimit failed");
                    WriteIniString(c.target, c.section, c.key, value);
                    throw std::runtime_error("the write succeeded");
                });
                const int status = waitFor(child, std::chrono::seconds(10));
                const std::string message = readPipe(child.pipe);
                EXPECT_TRUE(WIFEXITED(status)) << "the child did not end by itself";
                EXPECT_EQ(message, "Unable to write to " + file(c.file).string());
                EXPECT_TRUE(readBytes(file(c.file)) == c.original) << "the game file was changed";
                std::vector<std::string> names;
                for (const fs::directory_entry& entry : fs::directory_iterator(ini.configFolder()))
                    names.push_back(entry.path().filename().string());
                EXPECT_EQ(names, std::vector<std::string>{c.file}) << "the temporary file is removed";
                fs::remove(file(c.file));
                fs::remove(secondName);
            }
        }
}

} // namespace

#endif // _WIN32
