// Backup of the three game files to ".bak" copies and the restore from them, checked on
// the files on disk.
#include "SystemErrorText.h"
#include "WindowFixture.h"

#include "inidigest/IniDigest.h"
#include "settings/Catalogue.h"
#include "ui/TextCodec.h"
#include "ui/UserDialogs.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <system_error>

namespace {

const QString kAskBackup = QStringLiteral("confirm: Older backups will be overwritten! Proceed?");
const QString kAskRestore = QStringLiteral("confirm: Old INIs will be restored from the backups. Proceed?");
const QString kBackupDone = QStringLiteral(
    "message: Backups have been created. Please make sure, that they really EXIST! (_I_ dont care if they "
    "are "
    "gone...)\r\nYou can find them in the config directory with an \".bak\" extension at the end.");
const QString kRestoreDone = QStringLiteral("message: Backups have been restored.");

// A system error as the standard error box shows it, with the full stop the box adds.
struct SystemError {
    int code;
    QString text;
};

SystemError boxed(const SystemErrorText& error) {
    const QString text = QString::fromStdString(error.text);
    return {error.code, text.endsWith('.') ? text : text + '.'};
}

QString systemErrorBox(const SystemError& error) {
    return QStringLiteral("error: System Error.  Code: %1.\r\n%2").arg(error.code).arg(error.text);
}

const SystemError kNotFound = boxed(kFileNotFound);
const SystemError kRefused = boxed(kAccessDenied);

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

    void backup() { form().run(&TMainform::BtnBackupClick); }
    void restore() { form().run(&TMainform::BtnRestoreClick); }

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

// The two handlers end to end: one question each, the files copied, the final message;
// the rules of the copies are tested where they live (GameFileBackupTest).
TEST_F(BackupRestoreTest, BackupThenRestore) {
    open();
    backup();
    writeBytes(gameFile("UTGame.ini"), "[Engine.HUD]\r\nbShowHud=False\r\n");
    restore();
    EXPECT_EQ(shown(dialogs.take()),
              shown((QStringList{kAskBackup, kBackupDone, kAskRestore, kRestoreDone})));
    EXPECT_EQ(readBytes(backupFile("UTGame.ini")), kSampleGameIni);
    EXPECT_EQ(readBytes(gameFile("UTGame.ini")), kSampleGameIni);
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

// A second installation appears where the documents folder is asked for after start-up
// (the desktop's folder and a Wine prefix both holding the game). Backup and restore
// stay with the files the window was loaded from, and fail when those are gone.
TEST_F(BackupRestoreTest, BackupAndRestoreStayInTheFolderFoundAtStartUp) {
    open();
    const std::filesystem::path other = documents().parent_path() / "Other Documents";
    const std::filesystem::path otherConfig =
        other / "My Games" / "Unreal Tournament 3" / "UTGame" / "Config";
    for (const char* name : kGameFiles) {
        writeBytes(otherConfig / name, std::string("; the other installation's ") + name + "\r\n");
        writeBytes(otherConfig / (std::string(name) + ".bak"), "; its backup\r\n");
    }
    answerDocumentsFolder(other);
    std::filesystem::remove(gameFile("UTEngine.ini"));

    backup();
    restore();

    EXPECT_EQ(shown(dialogs.take()),
              shown((QStringList{kAskBackup,
                                 QStringLiteral("error: Cannot open file \"") +
                                     QString::fromStdString(gameFile("UTEngine.ini").string()) +
                                     QStringLiteral("\". ") + kNotFound.text,
                                 kAskRestore, systemErrorBox(kNotFound)})));
    for (const char* name : kGameFiles) {
        EXPECT_EQ(readBytes(otherConfig / name), std::string("; the other installation's ") + name + "\r\n");
        EXPECT_EQ(readBytes(otherConfig / (std::string(name) + ".bak")), "; its backup\r\n");
    }
}

TEST_F(BackupRestoreTest, AHomeFolderNamedInLatin1IsUsedAsTheBytesItIs) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows names files in UTF-16: every path the program meets is valid UTF-8 text";
#else
    const std::filesystem::path latin1 = documents().parent_path() / "Dokumente f\xFCr J\xF6rg";
    const std::filesystem::path config = latin1 / "My Games" / "Unreal Tournament 3" / "UTGame" / "Config";
    for (const char* name : kGameFiles)
        writeBytes(config / name, readBytes(gameFile(name)));
    answerDocumentsFolder(latin1);

    open();
    box("MotionBlur")->click();
    form().run(&TMainform::BtnSaveClick);
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

    form().run(&TMainform::BtnSaveClick);
    dialogs.take();
    const std::string engine = readBytes(gameFile("UTEngine.ini"));
    EXPECT_NE(engine.find("ResX=1280\r\n"), std::string::npos);
    EXPECT_NE(engine.find("DynamicShadows=True\r\n"), std::string::npos);
    EXPECT_NE(engine.find("MotionBlur=False\r\n"), std::string::npos);
    EXPECT_NE(engine.find("[Backup.Only]\r\nKept=yes\r\n"), std::string::npos) << "other lines stay";
    EXPECT_NE(readBytes(gameFile("UTGame.ini")).find("bShowHud=True\r\n"), std::string::npos);
}
