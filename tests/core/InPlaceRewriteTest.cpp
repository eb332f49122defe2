// Files rewritten where they are (a game file with a second name), and files another
// program is still writing: nothing is ever written to another file, taken from half a
// write, or left half old and half new.
#ifndef _WIN32

#include "IniHostFixture.h"
#include "inidigest/IniDigest.h"
#include "inidigest/IniError.h"
#include "platform/FileCallProbe.h"
#include "platform/FileStore.h"
#include "sync/GameFileBackup.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string kOld = "[SystemSettings]\r\nMotionBlur=True\r\n; a long comment the new file lacks\r\n";
const std::string kNew = "[SystemSettings]\r\nMotionBlur=False\r\n";

class InPlace : public testing::Test {
protected:
    InPlace() {
        writeBytes(engine, kOld);
        fs::create_hard_link(engine, ini.documents() / "second name");
    }
    std::vector<std::string> configNames() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(ini.configFolder()))
            names.push_back(entry.path().filename().string());
        return names;
    }
    ScopedIniHost ini;
    const fs::path engine = ini.gameFile("UTEngine.ini");
};

TEST_F(InPlace, AFileSwappedBeforeTheWriteIsLeftAlone) {
    const fs::path outside = ini.documents() / "outside.txt";
    const std::function<void()> swaps[] = {
        [&] { fs::create_symlink(outside, engine); },
        [&] { ASSERT_EQ(::mkfifo(engine.c_str(), 0644), 0); }, // would block an open for writing
    };
    for (const auto& swapIn : swaps) {
        writeBytes(outside, "not a game file");
        filestore::Replacement replacement(engine, kNew);
        fs::rename(engine, ini.documents() / "moved away");
        swapIn();
        EXPECT_TRUE(replacement.commit());
        EXPECT_EQ(readBytes(outside), "not a game file");
        fs::remove(engine);
        fs::rename(ini.documents() / "moved away", engine);
    }
}

// Runs an in-place save of MotionBlur in a child that dies right after the first write
// to the file itself, as a crash would leave it: the journal beside, the file torn.
class DieAtFirstWrite : public filestore::probe::FileCallObserver {
public:
    explicit DieAtFirstWrite(fs::path file)
        : m_file(std::move(file)) {}
    void created(const fs::path&) override {}
    void wrote(const fs::path& file, std::uint64_t, std::string_view) override {
        if (file == m_file)
            ::_exit(0);
    }
    void resized(const fs::path&, std::uint64_t) override {}
    void flushed(const fs::path&) override {}
    void renamed(const fs::path&, const fs::path&) override {}
    void removed(const fs::path&) override {}
    void folderFlushed(const fs::path&) override {}

private:
    fs::path m_file;
};

TEST_F(InPlace, StartUpFinishesARewriteACrashCutShort) {
    struct Case {
        const char* what;
        std::string changedSince; // empty: untouched since the crash
        std::string after;
        std::size_t messages;
    };
    const std::string theirs = "[SystemSettings]\r\nMotionBlur=True\r\n; the game wrote this since\r\n";
    const Case cases[] = {{"untouched since", "", kOld, 0}, {"changed since", theirs, theirs, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(engine, kOld);
        if (const pid_t child = ::fork(); child == 0) {
            DieAtFirstWrite die(engine);
            const filestore::probe::ScopedObserver observing(die);
            // Shorter than the old value: the old file's end stays behind the new one.
            WriteIniString(EngineIni, "SystemSettings", "MotionBlur", "0");
            ::_exit(1);
        } else {
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        ASSERT_NE(readBytes(engine), kOld) << "the crash left the file torn";
        if (!c.changedSince.empty())
            writeBytes(engine, c.changedSince);
        ini.messages.clear();
        InitIniDigest();
        EXPECT_EQ(readBytes(engine), c.after);
        ASSERT_EQ(ini.messages.size(), c.messages);
        const std::vector<std::string> names = configNames();
        if (c.messages > 0) {
            EXPECT_NE(ini.messages[0].find("\"" + engine.string() + "\" was cut short"), std::string::npos);
            EXPECT_EQ(names.size(), 2u) << "the journal is kept aside";
            for (const std::string& name : names)
                if (name != "UTEngine.ini")
                    fs::remove(ini.configFolder() / name);
        } else {
            EXPECT_EQ(names, std::vector<std::string>{"UTEngine.ini"});
        }
    }
}

// Another program empties the file, writes half of it, pauses longer than any settle
// wait, then writes the rest, holding the file open throughout.
void rewriteWithPause(const fs::path& file, const std::string& content, std::atomic<bool>& emptied) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_TRUNC);
    emptied = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_EQ(::write(fd, content.data(), content.size() / 2), static_cast<ssize_t>(content.size() / 2));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const std::string rest = content.substr(content.size() / 2);
    ASSERT_EQ(::write(fd, rest.data(), rest.size()), static_cast<ssize_t>(rest.size()));
    ::close(fd);
}

TEST_F(InPlace, NothingIsTakenFromAFileAnotherProgramIsStillWriting) {
    std::string theirs = "[SystemSettings]\r\nMotionBlur=True\r\n";
    for (int i = 0; i < 2000; ++i)
        theirs += "; line " + std::to_string(i) + " the game wrote\r\n";
    const fs::path backup = ini.gameFile("UTEngine.ini.bak");
    struct Case {
        const char* what;
        std::function<void()> before;
        std::function<void()> operation;
        fs::path result;
        std::string expected;
    };
    const Case cases[] = {
        {"backup", [] {}, [] { EXPECT_EQ(gamebackup::backupGameFiles().error, ""); }, backup, theirs},
        {"save", [] {}, [] { WriteIniString(EngineIni, "SystemSettings", "MotionBlur", "False"); }, engine,
         "[SystemSettings]\r\nMotionBlur=False" + theirs.substr(33)},
        {"save after the program wrote the file empty", [&] { filestore::replaceFile(engine, ""); },
         [] { WriteIniString(EngineIni, "SystemSettings", "MotionBlur", "False"); }, engine,
         "[SystemSettings]\r\nMotionBlur=False" + theirs.substr(33)},
    };
    writeBytes(ini.gameFile("UTGame.ini"), kOld);
    writeBytes(ini.gameFile("UTInput.ini"), kOld);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(engine, kOld);
        c.before();
        std::atomic<bool> emptied = false;
        std::thread game([&] { rewriteWithPause(engine, theirs, emptied); });
        while (!emptied)
            std::this_thread::yield();
        EXPECT_NO_THROW(c.operation());
        game.join();
        EXPECT_EQ(readBytes(c.result), c.expected);
    }
}

} // namespace

#endif // _WIN32
