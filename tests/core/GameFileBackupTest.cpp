// Backup of the three game files to their ".bak" copies and the restore from them, on
// real files: one generation, all or nothing, links and private files kept.
#include "sync/GameFileBackup.h"

#include "IniHostFixture.h"
#include "SampleGameFiles.h"
#include "SystemErrorText.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <system_error>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

using namespace gamebackup;

std::string reason(std::errc error) {
    return std::make_error_code(error).message();
}

class GameFileBackupTest : public testing::Test {
protected:
    GameFileBackupTest() { ini.writeSampleGameFiles(); }

    fs::path file(const std::string& name) const { return ini.gameFile(name); }
    fs::path backupFile(const std::string& name) const { return ini.gameFile(name + ".bak"); }

    std::map<std::string, std::string> gameFileBytes() const {
        std::map<std::string, std::string> bytes;
        for (const char* name : kGameFiles)
            bytes[name] = readBytes(file(name));
        return bytes;
    }
    std::set<std::string> fileNames() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(ini.configFolder()))
            names.insert(entry.path().filename().string());
        return names;
    }
    // The error `operation` stopped at; empty when it succeeds.
    template <class Operation> static std::string errorOf(Operation operation) { return operation().error; }

    ScopedIniHost ini;
};

TEST_F(GameFileBackupTest, SecondBackupReplacesTheFirst) {
    backupGameFiles();
    EXPECT_EQ(readBytes(backupFile("UTEngine.ini")), kSampleEngineIni);
    EXPECT_EQ(readBytes(backupFile("UTGame.ini")), kSampleGameIni);
    EXPECT_EQ(readBytes(backupFile("UTInput.ini")), kSampleInputIni);

    const std::string newerGame = replaced(kSampleGameIni, "bShowHud=True", "bShowHud=False");
    writeBytes(file("UTGame.ini"), newerGame);
#ifndef _WIN32
    // Someone reading the old backup meanwhile: the new one takes its place as a new file.
    // (Windows refuses to replace a file that is held open; Save tests that case.)
    std::ifstream reader(backupFile("UTGame.ini"), std::ios::binary);
#endif
    backupGameFiles();
    EXPECT_EQ(readBytes(backupFile("UTGame.ini")), newerGame);
    EXPECT_EQ(readBytes(backupFile("UTEngine.ini")), kSampleEngineIni);
#ifndef _WIN32
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(reader), {}), kSampleGameIni)
        << "the old backup must not be rewritten in place";
#endif
    EXPECT_EQ(fileNames(), (std::set<std::string>{"UTEngine.ini", "UTGame.ini", "UTInput.ini",
                                                  "UTEngine.ini.bak", "UTGame.ini.bak", "UTInput.ini.bak"}))
        << "no temporary file left behind";
}

TEST_F(GameFileBackupTest, BackupWithAGameFileMissingKeepsEveryOldBackup) {
    for (const char* name : kGameFiles)
        writeBytes(backupFile(name), std::string("[Previous]\r\nFrom=") + name + "\r\n");
    fs::remove(file("UTInput.ini"));
    EXPECT_EQ(errorOf(backupGameFiles),
              "Cannot open file \"" + file("UTInput.ini").string() + "\". " + kFileNotFound.text);
    for (const char* name : kGameFiles)
        EXPECT_EQ(readBytes(backupFile(name)), std::string("[Previous]\r\nFrom=") + name + "\r\n") << name;
}

TEST_F(GameFileBackupTest, RestoreNeedsAllThreeBackupsBeforeTouchingAnything) {
    const auto before = gameFileBytes();
    const std::string missing = systemErrorMessage(kFileNotFound);
    EXPECT_EQ(errorOf(restoreGameFiles), missing);
    EXPECT_EQ(gameFileBytes(), before);

    // Two of three present: still nothing may be replaced.
    writeBytes(backupFile("UTEngine.ini"), "[Engine.Engine]\r\nbUseSound=False\r\n");
    writeBytes(backupFile("UTGame.ini"), "[Engine.HUD]\r\nbShowHud=False\r\n");
    EXPECT_EQ(errorOf(restoreGameFiles), missing);
    EXPECT_EQ(gameFileBytes(), before);

    // All three present, but the last game file refuses writing: again nothing changes.
    writeBytes(backupFile("UTInput.ini"), "[Engine.PlayerInput]\r\nDoubleClickTime=0.5\r\n");
    makeReadOnly(file("UTInput.ini"));
    EXPECT_EQ(errorOf(restoreGameFiles), systemErrorMessage(kAccessDenied));
    EXPECT_EQ(gameFileBytes(), before);
}

TEST_F(GameFileBackupTest, ACopyThatCannotBeWrittenKeepsEveryOtherFileWhole) {
    for (const char* name : {"UTEngine.ini", "UTInput.ini"})
        writeBytes(backupFile(name), std::string("[Previous]\r\nFrom=") + name + "\r\n");
    fs::create_directory(backupFile("UTGame.ini")); // cannot become a file
    EXPECT_EQ(errorOf(backupGameFiles), "Cannot create file \"" + backupFile("UTGame.ini").string() + "\". " +
                                            reason(std::errc::is_a_directory));
    for (const char* name : {"UTEngine.ini", "UTInput.ini"})
        EXPECT_EQ(readBytes(backupFile(name)), std::string("[Previous]\r\nFrom=") + name + "\r\n") << name;
    EXPECT_EQ(fileNames().size(), 6u) << "no temporary file left behind";

    // The same for a restore whose second game file cannot be replaced.
    fs::remove(backupFile("UTGame.ini"));
    backupGameFiles();
    fs::remove(file("UTGame.ini"));
    fs::create_directory(file("UTGame.ini"));
    writeBytes(file("UTEngine.ini"), "[Engine.Engine]\r\nbUseSound=False\r\n");
    EXPECT_NE(errorOf(restoreGameFiles), "");
    EXPECT_EQ(readBytes(file("UTEngine.ini")), "[Engine.Engine]\r\nbUseSound=False\r\n");
}

TEST_F(GameFileBackupTest, LinkedFilesStayLinksAndCopiesOfPrivateFilesStayPrivate) {
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need rights on Windows that a test cannot count on";
#else
    // The player keeps the game files and their backups in a synced folder.
    const fs::path synced = ini.documents() / "Synced";
    for (const char* name : kGameFiles) {
        writeBytes(synced / name, readBytes(file(name)));
        writeBytes(synced / (std::string(name) + ".bak"), "[Previous]\r\n");
        fs::remove(file(name));
        fs::create_symlink(synced / name, file(name));
        fs::create_symlink(synced / (std::string(name) + ".bak"), backupFile(name));
    }
    fs::permissions(synced / "UTGame.ini", fs::perms::owner_read | fs::perms::owner_write);
    fs::remove(synced / "UTGame.ini.bak");

    backupGameFiles();
    for (const char* name : kGameFiles) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(fs::is_symlink(backupFile(name)));
        EXPECT_EQ(readBytes(synced / (std::string(name) + ".bak")), readBytes(synced / name));
    }
    EXPECT_EQ(fs::status(synced / "UTGame.ini.bak").permissions(),
              fs::perms::owner_read | fs::perms::owner_write)
        << "the copy of a private file is private";

    writeBytes(synced / "UTInput.ini.bak", "[Engine.PlayerInput]\r\nDoubleClickTime=0.5\r\n");
    restoreGameFiles();
    EXPECT_TRUE(fs::is_symlink(file("UTInput.ini")));
    EXPECT_EQ(readBytes(synced / "UTInput.ini"), "[Engine.PlayerInput]\r\nDoubleClickTime=0.5\r\n");
#endif
}

#ifndef _WIN32
TEST_F(GameFileBackupTest, ABackupLinkLeadingToAPlayersFileLeavesItsProtectionAndMode) {
    struct Case {
        const char* what;
        fs::perms mode;
        bool written;
    };
    const Case cases[] = {
        {"read-only", fs::perms::owner_read | fs::perms::group_read, false},
        {"writable", fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read, true}};
    fs::permissions(file("UTEngine.ini"), fs::perms::owner_read | fs::perms::owner_write);
    const fs::path document = ini.documents() / "document.txt";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(document, "the player's own");
        fs::permissions(document, c.mode);
        fs::remove(backupFile("UTEngine.ini"));
        fs::create_symlink(document, backupFile("UTEngine.ini"));
        EXPECT_EQ(errorOf(backupGameFiles).empty(), c.written);
        EXPECT_EQ(readBytes(document) == kSampleEngineIni, c.written);
        EXPECT_EQ(fs::status(document).permissions(), c.mode);
    }
}

TEST_F(GameFileBackupTest, ARestoreThatFailsInPlaceGivesEveryFileItsOldContentBack) {
    // UTGame.ini has a second name, so it is rewritten where it is; its backup is larger
    // than the file-size limit lets the program write.
    const std::map<std::string, std::string> before = gameFileBytes();
    fs::create_hard_link(file("UTGame.ini"), ini.documents() / "UTGame.ini");
    for (const char* name : kGameFiles)
        writeBytes(backupFile(name), "[Backup]\r\nOf=" + std::string(name) + "\r\n");
    writeBytes(backupFile("UTGame.ini"), std::string(64 * 1024, ';'));
    if (const pid_t child = ::fork(); child == 0) {
        const rlimit limit{32 * 1024, 32 * 1024};
        ::_exit(::setrlimit(RLIMIT_FSIZE, &limit) == 0 && !errorOf(restoreGameFiles).empty() ? 0 : 1);
    } else {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the restore did not fail by itself";
    }
    EXPECT_EQ(gameFileBytes(), before);
}
#endif

TEST_F(GameFileBackupTest, FileCopyReplacesTheTargetWithTheWholeSource) {
    const fs::path target = ini.programFolder() / "copy.ini";
    writeBytes(target, "[Old]\r\nKey=1\r\n");
    copyWholeFile(file("UTGame.ini").string(), target.string());
    EXPECT_EQ(readBytes(target), kSampleGameIni);
    EXPECT_EQ(readBytes(file("UTGame.ini")), kSampleGameIni) << "the source stays";
    EXPECT_EQ(walkUntilError([&] {
                  copyWholeFile((ini.programFolder() / "none.ini").string(), target.string());
              }).error,
              "Cannot open file \"" + (ini.programFolder() / "none.ini").string() + "\". " +
                  kFileNotFound.text);
}

} // namespace
