// A write changes a file's content and nothing else about it: a link stays a link, the
// owner, group, permissions, extended attributes and other names stay, and no one can
// read a private file's new content in between. Only regular files are read or written.
#include "IniHostFixture.h"
#include "inidigest/IniDigest.h"
#include "inidigest/IniError.h"
#include "platform/FileStore.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/xattr.h>
#endif
#endif

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

const std::string kEngine = "[SystemSettings]\r\nMotionBlur=True\r\nResX=2560\r\n";
const std::string kEngineSaved = "[SystemSettings]\r\nMotionBlur=False\r\nResX=2560\r\n";

class FileKeeping : public testing::Test {
protected:
    void SetUp() override { writeBytes(engine, kEngine); }
    void save() { WriteIniBool(EngineIni, "SystemSettings", "MotionBlur", false); }

    ScopedIniHost ini;
    const fs::path engine = ini.gameFile("UTEngine.ini");
};

TEST_F(FileKeeping, StartUpClearsWhatKilledBackupsLeftBesideTheBackups) {
    const fs::path stale = ini.configFolder() / "UTEngine.ini.bak.knobwerk-42.tmp";
    writeBytes(stale, "partial");
    fs::last_write_time(stale, fs::file_time_type::clock::now() - std::chrono::hours(1));
    InitIniDigest();
    EXPECT_FALSE(fs::exists(stale));
}

#ifndef _WIN32

TEST_F(FileKeeping, WritesGoThroughSymbolicLinksToTheFileTheyNameAndDanglingOnesAreMissing) {
    // The player keeps the real files in a synced folder and links them into place.
    const fs::path synced = ini.documents() / "Synced";
    writeBytes(synced / "UTEngine.ini", kEngine);
    fs::remove(engine);
    fs::create_symlink(fs::relative(synced / "UTEngine.ini", engine.parent_path()), engine);
    writeBytes(synced / "Knobwerk.ini", "[General]\r\nVersion=v1.0\r\n");
    fs::remove(ini.tweakFile()); // the one start-up created
    fs::create_symlink(synced / "Knobwerk.ini", ini.tweakFile());

    save();
    WriteIniString(TweakFile, "General", "Version", "v1.1");
    EXPECT_TRUE(fs::is_symlink(engine));
    EXPECT_EQ(readBytes(synced / "UTEngine.ini"), kEngineSaved);
    EXPECT_TRUE(fs::is_symlink(ini.tweakFile()));
    EXPECT_EQ(readBytes(synced / "Knobwerk.ini"), "[General]\r\nVersion=v1.1\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(synced), fs::directory_iterator()), 2) << "no leftovers";

    fs::remove(synced / "UTEngine.ini");
    ResetIniErrors();
    EXPECT_FALSE(ReadIniBool(EngineIni, "SystemSettings", "MotionBlur"));
    save();
    EXPECT_EQ(ini.messages, std::vector<std::string>{"The ini, expected in \"" + engine.string() +
                                                     "\", could not be found or loaded."});
    EXPECT_TRUE(fs::is_symlink(engine)) << "a dangling link is missing, and nothing is created for it";
    EXPECT_FALSE(fs::exists(synced / "UTEngine.ini"));
}

TEST_F(FileKeeping, OwnerAndGroupAreKept) {
    constexpr uid_t kOtherUser = 4242;
    constexpr gid_t kOtherGroup = 4243;
    if (::chown(engine.c_str(), kOtherUser, kOtherGroup) != 0)
        GTEST_SKIP() << "only root can give a file to another user; a user's own files keep their owner "
                        "anyway, and one whose owner cannot be kept is not replaced";
    save();
    struct stat info {};
    ASSERT_EQ(::stat(engine.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, kOtherUser) << "the game, running as that user, could no longer write it";
    EXPECT_EQ(info.st_gid, kOtherGroup);
    EXPECT_EQ(readBytes(engine), kEngineSaved);
}

// Runs `body` in a child process as the player `uid`, member of the group `uid` only;
// true when it returned true there.
bool asPlayer(uid_t uid, const std::function<bool()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        const gid_t group = uid;
        const bool ok = ::setgroups(1, &group) == 0 && ::setgid(group) == 0 && ::setuid(uid) == 0 && body();
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

TEST_F(FileKeeping, AWritableFileIsRewrittenWhereItIsWhenANewOneCouldNotBeWhatItIs) {
    constexpr uid_t kPlayer = 4242;
    constexpr gid_t kOtherGroup = 4243;
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give the files to another player and to become that player";
    struct Case {
        const char* what;
        uid_t folderOwner; // the folder is 0755: only its owner may add files to it
        gid_t fileGroup;
    };
    const Case cases[] = {
        {"the player cannot write the folder", 0, kPlayer},
        {"the file's group is one the player is not in", kPlayer, kOtherGroup},
    };
    // The player must be able to reach the files.
    for (fs::path folder = engine.parent_path(); folder != fs::temp_directory_path();
         folder = folder.parent_path())
        fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
    // The player's own state folder, where the journal goes when the game's folder is not
    // the player's to write.
    const fs::path state = engine.parent_path().parent_path() / "state";
    fs::create_directory(state);
    ASSERT_EQ(::chown(state.c_str(), kPlayer, kPlayer), 0);
    for (const Case& c : cases) {
        writeBytes(engine, kEngine);
        ASSERT_EQ(::chown(engine.parent_path().c_str(), c.folderOwner, c.folderOwner), 0);
        ASSERT_EQ(::chown(engine.c_str(), kPlayer, c.fileGroup), 0);
        ASSERT_EQ(::chmod(engine.c_str(), 0664), 0);
        struct stat before {};
        ASSERT_EQ(::stat(engine.c_str(), &before), 0);

        EXPECT_TRUE(asPlayer(kPlayer,
                             [this, &state] {
                                 ::setenv("XDG_STATE_HOME", state.c_str(), 1);
                                 try {
                                     save();
                                     return true;
                                 } catch (const IniError&) {
                                     return false;
                                 }
                             }))
            << c.what << ": the save was refused";
        struct stat after {};
        ASSERT_EQ(::stat(engine.c_str(), &after), 0);
        EXPECT_EQ(readBytes(engine), kEngineSaved) << c.what;
        EXPECT_EQ(after.st_ino, before.st_ino) << c.what << ": rewritten where it is";
        EXPECT_EQ(after.st_gid, c.fileGroup) << c.what;
        EXPECT_EQ(after.st_mode & 07777, 0664u) << c.what;
        EXPECT_EQ(std::distance(fs::directory_iterator(engine.parent_path()), fs::directory_iterator()), 1)
            << c.what << ": no leftovers";
        EXPECT_TRUE(!fs::exists(state / "knobwerk") || fs::is_empty(state / "knobwerk")) << c.what;
    }
}

#ifdef __linux__
TEST_F(FileKeeping, ExtendedAttributesAreKept) {
    const std::string value = "synced";
    if (::setxattr(engine.c_str(), "user.knobwerk.test", value.data(), value.size(), 0) != 0)
        GTEST_SKIP() << "this file system keeps no user attributes";
    save();
    char got[16] = {};
    EXPECT_EQ(::getxattr(engine.c_str(), "user.knobwerk.test", got, sizeof got),
              static_cast<ssize_t>(value.size()));
    EXPECT_EQ(std::string(got), value);
}
#endif

TEST_F(FileKeeping, APrivateFileIsNeverReadableByOthersNotEvenItsTemporary) {
    fs::permissions(engine, fs::perms::owner_read | fs::perms::owner_write);
    const mode_t oldMask = ::umask(0); // a new file would be readable by all
    // Watches the folder for the temporary files of the writes below.
    std::atomic<bool> done{false};
    std::atomic<int> exposed{0};
    std::thread watcher([&] {
        while (!done) {
            std::error_code ignored;
            for (auto it = fs::directory_iterator(engine.parent_path(), ignored);
                 it != fs::directory_iterator(); it.increment(ignored)) {
                struct stat info {};
                if (::stat(it->path().c_str(), &info) == 0 && (info.st_mode & 077) != 0)
                    ++exposed;
            }
        }
    });
    const std::string padding(256 * 1024, ';');
    for (int i = 0; i < 30; ++i)
        WriteIniString(EngineIni, "SystemSettings", "Padding", padding.substr(0, padding.size() - (i % 2)));
    done = true;
    watcher.join();
    ::umask(oldMask);
    EXPECT_EQ(exposed, 0) << "times a file with the new content was readable by others";
    EXPECT_EQ(fs::status(engine).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(FileKeeping, EveryNameOfAHardLinkedFileSeesTheWrite) {
    const fs::path other = ini.documents() / "UTEngine-shared.ini";
    fs::create_hard_link(engine, other);
    save();
    EXPECT_EQ(readBytes(engine), kEngineSaved);
    EXPECT_EQ(readBytes(other), kEngineSaved) << "the other name kept the old settings";
    EXPECT_EQ(fs::hard_link_count(engine), 2u);
}

// Unblocks an open of `fifo` for reading that waits for a writer, should one wait
// longer than a moment: a test that fails ends instead of hanging.
class FifoRescue {
public:
    explicit FifoRescue(fs::path fifo)
        : m_thread([this, fifo] {
            const auto deadline = Clock::now() + std::chrono::seconds(3);
            while (!m_done && Clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            while (!m_done) {
                const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0)
                    ::close(fd);
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }) {}
    ~FifoRescue() {
        m_done = true;
        m_thread.join();
    }

private:
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};

TEST_F(FileKeeping, OnlyRegularFilesAreReadOrWrittenAndPromptly) {
    const std::string readError = "An error occured while reading the key \"ResX\"\r\nfrom Section "
                                  "\"SystemSettings\".";
    fs::remove(engine);
    ASSERT_EQ(::mkfifo(engine.c_str(), 0600), 0);
    {
        FifoRescue rescue(engine);
        const auto start = Clock::now();
        EXPECT_EQ(ReadIniInteger(EngineIni, "SystemSettings", "ResX"), "");
        EXPECT_THROW(save(), IniError);
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(1)) << "waited for a writer to the FIFO";
    }
    EXPECT_EQ(ini.messages, std::vector<std::string>{readError});
    EXPECT_TRUE(fs::is_fifo(engine));

    // A link to a device that never ends is no file either, and is not read without end.
    fs::remove(engine);
    fs::create_symlink("/dev/zero", engine);
    ini.messages.clear();
    ResetIniErrors();
    EXPECT_EQ(ReadIniInteger(EngineIni, "SystemSettings", "ResX"), "");
    EXPECT_EQ(ini.messages, std::vector<std::string>{readError});
}

#endif // _WIN32

} // namespace
