// Another program rewrites a game file in place (truncates it, then writes it) while a
// save runs, as the game, a text editor or a sync tool may. A save must never publish
// what it read half-way through that rewrite.
#include "IniHostFixture.h"
#include "inidigest/IniDigest.h"
#include "inidigest/IniError.h"
#include "inidigest/IniLayer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <random>
#include <thread>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kTrials = 150;
constexpr int kKeys = 10;

std::string keyName(int i) {
    return "Key" + std::to_string(i);
}

// The game's version: keys with old values between comment lines that tell the halves
// of the file apart.
std::string fileWith(const std::string& tag) {
    std::string text = "[SystemSettings]\r\n";
    for (int i = 0; i < 400; ++i) {
        text += "; " + tag + " line " + std::to_string(i) + "\r\n";
        if (i % 40 == 0)
            text += keyName(i / 40) + "=old\r\n";
    }
    return text;
}

// The lines that are not key lines: a file published from half of a rewrite lacks some.
std::string commentLines(const std::string& text) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        const std::size_t next = end == std::string::npos ? text.size() : end + 2;
        if (text.compare(at, 3, "Key") != 0)
            out += text.substr(at, next - at);
        at = next;
    }
    return out;
}

// Empties the file, then writes `content`, as a program rewriting its file in place
// does; the pause stands for the work it does between the two.
void rewriteInPlace(const fs::path& file, const std::string& content) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    std::this_thread::sleep_for(std::chrono::microseconds(300));
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

// The game folder in memory where the system has such a folder: the trials then take
// a second, not the minute that flushing every write to a busy disk would take, and the
// writes are as quick as they can be, which leaves a writer the least time to finish.
class GameFolderInMemory {
public:
    GameFolderInMemory() {
        const fs::path memory = "/dev/shm";
        std::error_code error;
        if (!fs::is_directory(memory, error))
            return;
        m_root = memory / ("knobwerk-racing-" + std::to_string(Clock::now().time_since_epoch().count()));
        fs::create_directories(m_root / "program");
        IniHost host;
        host.personalFolder = [this] { return pathText(m_root / "Documents"); };
        host.executableFolder = [this] { return pathText(m_root / "program"); };
        ResetIniLayer(host);
        InitIniDigest();
    }
    ~GameFolderInMemory() {
        std::error_code ignored;
        if (!m_root.empty())
            fs::remove_all(m_root, ignored);
    }
    // The engine file there, or `fallback` when there is no such folder.
    fs::path engineFile(const fs::path& fallback) const {
        return m_root.empty() ? fallback
                              : m_root / "Documents" / "My Games" / "Unreal Tournament 3" / "UTGame" /
                                    "Config" / "UTEngine.ini";
    }

private:
    static std::string pathText(const fs::path& path) { return path.string(); }
    fs::path m_root;
};

TEST(RacingWriter, NoSaveEverPublishesAHalfWrittenFile) {
    ScopedIniHost ini;
    const GameFolderInMemory memory;
    const fs::path file = memory.engineFile(ini.gameFile("UTEngine.ini"));
    const std::string ours = fileWith("player");
    const std::string theirs = fileWith("game");
    std::mt19937 random(7);

    // How long one save of the keys takes here, so the rewrite can land anywhere in it.
    writeBytes(file, ours);
    fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::hours(1));
    const auto start = Clock::now();
    for (int k = 0; k < kKeys; ++k)
        WriteIniString(EngineIni, "SystemSettings", keyName(k), "new");
    const auto saveTime = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);

    int torn = 0;
    int refused = 0;
    for (int trial = 0; trial < kTrials; ++trial) {
        writeBytes(file, ours);
        // Written long ago, as a player's file is: a save trusts a file that has been still.
        fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::hours(1));
        std::uniform_int_distribution<long long> moment(0, saveTime.count());
        const auto delay = std::chrono::microseconds(moment(random));
        std::thread game([&] {
            std::this_thread::sleep_for(delay);
            rewriteInPlace(file, theirs);
        });
        try {
            for (int k = 0; k < kKeys; ++k)
                WriteIniString(EngineIni, "SystemSettings", keyName(k), "new");
        } catch (const IniError& error) {
            EXPECT_EQ(std::string(error.what()), "Unable to write to " + file.string());
            ++refused;
        }
        game.join();
        const std::string lines = commentLines(readBytes(file));
        if (lines != commentLines(ours) && lines != commentLines(theirs)) {
            ++torn;
        }
    }
    std::cout << "[  racing  ] " << torn << " torn, " << refused << " refused of " << kTrials
              << " saves; one save takes " << saveTime.count() << " us\n";
    EXPECT_EQ(torn, 0);
    EXPECT_LT(refused, kTrials / 10) << "a rewrite that is over is waited for, not refused";
}

} // namespace
