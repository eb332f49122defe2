// Backup of the three game files to ".bak" copies and the restore from them, checked on
// the files on disk.
#include "WindowFixture.h"

#include "inidigest/IniDigest.h"
#include "settings/Catalogue.h"
#include "ui/TextCodec.h"
#include "ui/UserDialogs.h"

#ifdef _WIN32
#include <windows.h>
#endif
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <system_error>

namespace {

// The boxes shown, one after another, in a form a failure message can show.
std::string shown(const QStringList& boxes) {
    return boxes.join(QStringLiteral("\n----\n")).toStdString();
}

const QString kAskBackup = QStringLiteral("confirm: Older backups will be overwritten! Proceed?");
const QString kAskRestore = QStringLiteral("confirm: Old INIs will be restored from the backups. Proceed?");
const QString kBackupDone = QStringLiteral(
    "message: Backups have been created. Please make sure, that they really EXIST! (_I_ dont care if they "
    "are "
    "gone...)\r\nYou can find them in the config directory with an \".bak\" extension at the end.");
const QString kRestoreDone = QStringLiteral("message: Backups have been restored.");

const char* const kGameFiles[] = {"UTEngine.ini", "UTGame.ini", "UTInput.ini"};

// A system error as the standard error box shows it: errno's code and text on POSIX
// systems; on Windows GetLastError's code and the system's own words for it.
struct SystemError {
    int code;
    QString text; // ends in the full stop the box gives it
};

SystemError systemError([[maybe_unused]] std::errc posixError, [[maybe_unused]] unsigned long windowsCode) {
#ifdef _WIN32
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, windowsCode, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    QString words = QString::fromWCharArray(text).trimmed();
    LocalFree(text);
    return {static_cast<int>(windowsCode), words.endsWith('.') ? words : words + '.'};
#else
    const std::error_code error = std::make_error_code(posixError);
    return {error.value(), QString::fromStdString(error.message()) + '.'};
#endif
}

QString systemErrorBox(const SystemError& error) {
    return QStringLiteral("error: System Error.  Code: %1.\r\n%2").arg(error.code).arg(error.text);
}

const SystemError kNotFound = systemError(std::errc::no_such_file_or_directory, 2); // ERROR_FILE_NOT_FOUND
const SystemError kRefused = systemError(std::errc::permission_denied, 5);          // ERROR_ACCESS_DENIED

std::set<std::string> fileNames(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

} // namespace

class BackupRestoreTest : public WindowTest {
protected:
    std::filesystem::path backupFile(const std::string& name) const { return gameFile(name + ".bak"); }

    void backup() { form().runHandler(QStringLiteral("BtnBackupClick")); }
    void restore() { form().runHandler(QStringLiteral("BtnRestoreClick")); }

    std::map<std::string, std::string> gameFileBytes() const {
        std::map<std::string, std::string> bytes;
        for (const char* name : kGameFiles)
            bytes[name] = readBytes(gameFile(name));
        return bytes;
    }

    std::map<std::string, bool> marks() const {
        std::map<std::string, bool> result;
        for (std::string_view name : markingWalkOrder())
            result[std::string(name)] = bold(std::string(name).c_str());
        return result;
    }
};

TEST_F(BackupRestoreTest, CancelChangesNoFile) {
    open();
    dialogs.answers = {kConfirmCancel, kConfirmCancel};
    backup();
    for (const char* name : kGameFiles)
        writeBytes(backupFile(name), "[Old]\r\nKey=1\r\n");
    restore();
    EXPECT_EQ(shown(dialogs.take()), shown((QStringList{kAskBackup, kAskRestore})));
    EXPECT_EQ(readBytes(gameFile("UTEngine.ini")), kSampleEngineIni);
    EXPECT_EQ(readBytes(gameFile("UTGame.ini")), kSampleGameIni);
    EXPECT_EQ(readBytes(gameFile("UTInput.ini")), kSampleInputIni);
    EXPECT_EQ(readBytes(backupFile("UTGame.ini")), "[Old]\r\nKey=1\r\n");
}

TEST_F(BackupRestoreTest, SecondBackupReplacesTheFirst) {
    open();
    backup();
    EXPECT_EQ(shown(dialogs.take()), shown((QStringList{kAskBackup, kBackupDone})));
    EXPECT_EQ(readBytes(backupFile("UTEngine.ini")), kSampleEngineIni);
    EXPECT_EQ(readBytes(backupFile("UTGame.ini")), kSampleGameIni);
    EXPECT_EQ(readBytes(backupFile("UTInput.ini")), kSampleInputIni);

    const std::string newerGame = replaced(kSampleGameIni, "bShowHud=True", "bShowHud=False");
    writeBytes(gameFile("UTGame.ini"), newerGame);
#ifndef _WIN32
    // Someone reading the old backup meanwhile: the new one takes its place as a new file.
    // (Windows refuses to replace a file that is held open; Save tests that case.)
    std::ifstream reader(backupFile("UTGame.ini"), std::ios::binary);
#endif
    backup();
    EXPECT_EQ(shown(dialogs.take()), shown((QStringList{kAskBackup, kBackupDone})))
        << "one question, no more";
    EXPECT_EQ(readBytes(backupFile("UTGame.ini")), newerGame);
    EXPECT_EQ(readBytes(backupFile("UTEngine.ini")), kSampleEngineIni);
#ifndef _WIN32
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(reader), {}), kSampleGameIni)
        << "the old backup must not be rewritten in place";
#endif
    EXPECT_EQ(fileNames(configFolder()),
              (std::set<std::string>{"UTEngine.ini", "UTGame.ini", "UTInput.ini", "UTEngine.ini.bak",
                                     "UTGame.ini.bak", "UTInput.ini.bak"}))
        << "no temporary file left behind";
}

TEST_F(BackupRestoreTest, ReadOnlyGameFilesAreBackedUpAgainAndAgainButNotRestoredOver) {
    open();
    // Players make the game files read-only so that the game cannot reset their tweaks;
    // the backups then are read-only copies.
    for (const char* name : kGameFiles)
        makeReadOnly(gameFile(name));
    backup();
    const std::string newerGame = replaced(kSampleGameIni, "bShowHud=True", "bShowHud=False");
    makeWritable(gameFile("UTGame.ini"));
    writeBytes(gameFile("UTGame.ini"), newerGame);
    makeReadOnly(gameFile("UTGame.ini"));
    makeReadOnly(backupFile("UTEngine.ini")); // also where the copy did not carry it over
    backup();
    EXPECT_EQ(shown(dialogs.take()), shown((QStringList{kAskBackup, kBackupDone, kAskBackup, kBackupDone})));
    EXPECT_EQ(readBytes(backupFile("UTGame.ini")), newerGame) << "the second backup replaced the first";
    EXPECT_EQ(readBytes(backupFile("UTEngine.ini")), kSampleEngineIni);
    EXPECT_EQ(fileNames(configFolder()).size(), 6u) << "no temporary file left behind";

    // A restore over the read-only game files is refused, saying why.
    makeWritable(backupFile("UTGame.ini"));
    writeBytes(backupFile("UTGame.ini"), kSampleGameIni);
    restore();
    EXPECT_EQ(shown(dialogs.take()), shown((QStringList{kAskRestore, systemErrorBox(kRefused)})));
    EXPECT_EQ(readBytes(gameFile("UTGame.ini")), newerGame);
}

TEST_F(BackupRestoreTest, BackupWithAGameFileMissingKeepsEveryOldBackup) {
    open();
    for (const char* name : kGameFiles)
        writeBytes(backupFile(name), std::string("[Previous]\r\nFrom=") + name + "\r\n");
    std::filesystem::remove(gameFile("UTInput.ini"));

    backup();

    EXPECT_EQ(shown(dialogs.take()),
              shown((QStringList{kAskBackup, QStringLiteral("error: Cannot open file \"") +
                                                 QString::fromStdString(gameFile("UTInput.ini").string()) +
                                                 QStringLiteral("\". ") + kNotFound.text})));
    for (const char* name : kGameFiles)
        EXPECT_EQ(readBytes(backupFile(name)), std::string("[Previous]\r\nFrom=") + name + "\r\n") << name;
}

TEST_F(BackupRestoreTest, RestoreNeedsAllThreeBackupsBeforeTouchingAnything) {
    open();
    const auto before = gameFileBytes();
    const QString missingError = systemErrorBox(kNotFound);

    restore();
    EXPECT_EQ(shown(dialogs.take()), shown((QStringList{kAskRestore, missingError})));
    EXPECT_EQ(gameFileBytes(), before);

    // Two of three present: still nothing may be replaced.
    writeBytes(backupFile("UTEngine.ini"), "[Engine.Engine]\r\nbUseSound=False\r\n");
    writeBytes(backupFile("UTGame.ini"), "[Engine.HUD]\r\nbShowHud=False\r\n");
    restore();
    EXPECT_EQ(shown(dialogs.take()), shown((QStringList{kAskRestore, missingError})));
    EXPECT_EQ(gameFileBytes(), before);

    // All three present, but the last game file refuses writing: again nothing changes.
    writeBytes(backupFile("UTInput.ini"), "[Engine.PlayerInput]\r\nDoubleClickTime=0.5\r\n");
    makeReadOnly(gameFile("UTInput.ini"));
    restore();
    const QString refusedError = systemErrorBox(kRefused);
    EXPECT_EQ(shown(dialogs.take()), shown((QStringList{kAskRestore, refusedError})));
    EXPECT_EQ(gameFileBytes(), before);
}

TEST_F(BackupRestoreTest, ABackupThatCannotBeWrittenKeepsThePreviousGenerationWhole) {
    open();
    for (const char* name : {"UTEngine.ini", "UTInput.ini"})
        writeBytes(backupFile(name), std::string("[Previous]\r\nFrom=") + name + "\r\n");
    std::filesystem::create_directory(backupFile("UTGame.ini")); // cannot become a file

    backup();
    const QString reason = QString::fromStdString(std::make_error_code(std::errc::is_a_directory).message());
    EXPECT_EQ(shown(dialogs.take()),
              shown((QStringList{kAskBackup, "error: Cannot create file \"" +
                                                 QString::fromStdString(backupFile("UTGame.ini").string()) +
                                                 "\". " + reason + "."})));
    for (const char* name : {"UTEngine.ini", "UTInput.ini"})
        EXPECT_EQ(readBytes(backupFile(name)), std::string("[Previous]\r\nFrom=") + name + "\r\n") << name;
    EXPECT_EQ(fileNames(configFolder()).size(), 6u) << "no temporary file left behind";

    // The same for a restore whose second game file cannot be replaced.
    std::filesystem::remove(backupFile("UTGame.ini"));
    backup();
    dialogs.take();
    std::filesystem::remove(gameFile("UTGame.ini"));
    std::filesystem::create_directory(gameFile("UTGame.ini"));
    writeBytes(gameFile("UTEngine.ini"), "[Engine.Engine]\r\nbUseSound=False\r\n");
    restore();
    EXPECT_EQ(dialogs.take().size(), 2);
    EXPECT_EQ(readBytes(gameFile("UTEngine.ini")), "[Engine.Engine]\r\nbUseSound=False\r\n");
}

TEST_F(BackupRestoreTest, LinkedFilesStayLinksAndCopiesOfPrivateFilesStayPrivate) {
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need rights on Windows that a test cannot count on";
#else
    open();
    // The player keeps the game files and their backups in a synced folder.
    const std::filesystem::path synced = documents() / "Synced";
    for (const char* name : kGameFiles) {
        writeBytes(synced / name, readBytes(gameFile(name)));
        writeBytes(synced / (std::string(name) + ".bak"), "[Previous]\r\n");
        std::filesystem::remove(gameFile(name));
        std::filesystem::create_symlink(synced / name, gameFile(name));
        std::filesystem::create_symlink(synced / (std::string(name) + ".bak"), backupFile(name));
    }
    std::filesystem::permissions(synced / "UTGame.ini",
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    std::filesystem::remove(synced / "UTGame.ini.bak");

    backup();
    EXPECT_EQ(shown(dialogs.take()), shown((QStringList{kAskBackup, kBackupDone})));
    for (const char* name : kGameFiles) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(std::filesystem::is_symlink(backupFile(name)));
        EXPECT_EQ(readBytes(synced / (std::string(name) + ".bak")), readBytes(synced / name));
    }
    EXPECT_EQ(std::filesystem::status(synced / "UTGame.ini.bak").permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write)
        << "the copy of a private file is private";

    writeBytes(synced / "UTInput.ini.bak", "[Engine.PlayerInput]\r\nDoubleClickTime=0.5\r\n");
    restore();
    EXPECT_EQ(shown(dialogs.take()), shown((QStringList{kAskRestore, kRestoreDone})));
    EXPECT_TRUE(std::filesystem::is_symlink(gameFile("UTInput.ini")));
    EXPECT_EQ(readBytes(synced / "UTInput.ini"), "[Engine.PlayerInput]\r\nDoubleClickTime=0.5\r\n");
#endif
}

TEST_F(BackupRestoreTest, AHomeFolderNamedInLatin1IsUsedAsTheBytesItIs) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows names files in UTF-16: every path the program meets is valid UTF-8 text";
#else
    const std::filesystem::path latin1 = documents().parent_path() / "Dokumente f\xFCr J\xF6rg";
    const std::filesystem::path config = latin1 / "My Games" / "Unreal Tournament 3" / "UTGame" / "Config";
    for (const char* name : kGameFiles)
        writeBytes(config / name, readBytes(gameFile(name)));
    IniHost host;
    host.personalFolder = [latin1] { return latin1.native(); };
    host.executableFolder = [this] { return programFolder().native(); };
    host.showMessage = [this](const std::string& text) { dialogs.showMessage(fromMessageText(text)); };
    SetIniHost(host);

    open();
    box("MotionBlur")->click();
    form().runHandler(QStringLiteral("BtnSaveClick"));
    backup();
    EXPECT_EQ(shown(dialogs.take()),
              shown((QStringList{"confirm: Save this Settings? Existing Tweaks will be overwritten!",
                                 "message: Settings were saved to Ini Files.", kAskBackup, kBackupDone})));
    EXPECT_NE(readBytes(config / "UTEngine.ini").find("MotionBlur=False"), std::string::npos);
    for (const char* name : kGameFiles)
        EXPECT_EQ(readBytes(config / (std::string(name) + ".bak")), readBytes(config / name)) << name;
#endif
}

TEST_F(BackupRestoreTest, RestoreThenSaveWritesTheWindowsValuesIntoTheRestoredFiles) {
    open();
    box("MotionBlur")->click();
    ASSERT_TRUE(bold("MotionBlur"));
    const auto marksBefore = marks();

    // Backups that differ from the game files and from the window.
    const std::string oldEngine = replaced(replaced(kSampleEngineIni, "ResX=1280", "ResX=640"),
                                           "DynamicShadows=True", "DynamicShadows=False") +
                                  "[Backup.Only]\r\nKept=yes\r\n";
    writeBytes(backupFile("UTEngine.ini"), oldEngine);
    writeBytes(backupFile("UTGame.ini"), replaced(kSampleGameIni, "bShowHud=True", "bShowHud=False"));
    writeBytes(backupFile("UTInput.ini"), kSampleInputIni);

#ifndef _WIN32
    std::ifstream reader(gameFile("UTEngine.ini"), std::ios::binary);
#endif
    restore();
    EXPECT_EQ(shown(dialogs.take()), shown((QStringList{kAskRestore, kRestoreDone})));
#ifndef _WIN32
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(reader), {}), kSampleEngineIni)
        << "the game file must be replaced whole, not rewritten in place";
#endif
    EXPECT_EQ(readBytes(gameFile("UTEngine.ini")), oldEngine);
    EXPECT_EQ(readBytes(gameFile("UTGame.ini")), readBytes(backupFile("UTGame.ini")));
    EXPECT_EQ(fileNames(configFolder()).size(), 6u) << "no temporary file left behind";

    // The window still shows what it showed, and the marks are as they were.
    EXPECT_EQ(field("ResX")->text(), QStringLiteral("1280"));
    EXPECT_TRUE(box("bShowHud")->isChecked());
    EXPECT_EQ(marks(), marksBefore);

    form().runHandler(QStringLiteral("BtnSaveClick"));
    dialogs.take();
    const std::string engine = readBytes(gameFile("UTEngine.ini"));
    EXPECT_NE(engine.find("ResX=1280\r\n"), std::string::npos);
    EXPECT_NE(engine.find("DynamicShadows=True\r\n"), std::string::npos);
    EXPECT_NE(engine.find("MotionBlur=False\r\n"), std::string::npos);
    EXPECT_NE(engine.find("[Backup.Only]\r\nKept=yes\r\n"), std::string::npos) << "other lines stay";
    EXPECT_NE(readBytes(gameFile("UTGame.ini")).find("bShowHud=True\r\n"), std::string::npos);
}
