// The desktop host's documents folder: on Linux it must come from the game-folder
// search, fed from the real environment (home, desktop documents folder, Wine prefix,
// login name). The search itself is tested in the core; this checks the wiring.
#include "FakeDialogs.h"
#include "TempFolder.h"
#include "platform/FileStore.h"
#include "ui/QtIniHost.h"

#include <QByteArray>
#include <QDir>
#include <QStandardPaths>
#include <QString>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Remembers environment variables and puts them back as they were, set or unset.
class SavedEnvironment {
public:
    explicit SavedEnvironment(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            std::optional<QByteArray> value;
            if (qEnvironmentVariableIsSet(name))
                value = qgetenv(name);
            m_saved.emplace_back(name, std::move(value));
        }
    }
    ~SavedEnvironment() {
        for (const auto& [name, value] : m_saved) {
            if (value)
                qputenv(name, *value);
            else
                qunsetenv(name);
        }
    }
    SavedEnvironment(const SavedEnvironment&) = delete;
    SavedEnvironment& operator=(const SavedEnvironment&) = delete;

private:
    std::vector<std::pair<const char*, std::optional<QByteArray>>> m_saved;
};

#ifndef Q_OS_WIN

std::string nativeText(const fs::path& path) {
    return QDir::toNativeSeparators(QString::fromStdString(path.string())).toStdString();
}

void placeGame(const fs::path& documents) {
    writeBytes(documents / "My Games" / "Unreal Tournament 3" / "UTGame" / "Config" / "UTEngine.ini",
               "[Engine.Engine]\nbSmoothFrameRate=TRUE\n");
}

// A made-up user whose home is a fresh temporary folder. The desktop's documents folder
// is announced the way desktops do it, in $XDG_CONFIG_HOME/user-dirs.dirs (Qt 6.4 reads
// only that file; an XDG_DOCUMENTS_DIR variable is ignored), under a name other than
// "Documents" so that a host that skipped the desktop's answer would be caught.
class DesktopHost : public testing::Test {
protected:
    void SetUp() override {
        const fs::path home = m_root.path();
        fs::create_directories(xdgDocuments());
        writeBytes(home / ".config" / "user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
        qputenv("HOME", QByteArray::fromStdString(home.string()));
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((home / ".config").string()));
        qunsetenv("XDG_DOCUMENTS_DIR");
        qunsetenv("WINEPREFIX");
        qputenv("USER", "player");
        qunsetenv("LOGNAME");
    }

    fs::path home() const { return m_root.path(); }
    fs::path xdgDocuments() const { return m_root.path() / "Dokumente"; }
    fs::path protonDocuments() const {
        return home() / ".local" / "share" / "Steam" / "steamapps" / "compatdata" / "13210" / "pfx" /
               "drive_c" / "users" / "steamuser" / "Documents";
    }

    std::string personalFolder() { return makeDesktopIniHost(m_dialogs).personalFolder(); }

private:
    SavedEnvironment m_saved{"HOME", "XDG_CONFIG_HOME", "XDG_DOCUMENTS_DIR", "WINEPREFIX", "USER", "LOGNAME"};
    TempFolder m_root;
    FakeDialogs m_dialogs;
};

TEST_F(DesktopHost, ReadsTheDesktopDocumentsFolderFromTheFakeHome) {
    // Guards the set-up: the toolkit must see the fake home, or the tests below prove nothing.
    EXPECT_EQ(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString(),
              xdgDocuments().string());
}

TEST_F(DesktopHost, FindsTheGameInTheProtonPrefixWhenOnlyThere) {
    placeGame(protonDocuments());
    EXPECT_EQ(personalFolder(), nativeText(protonDocuments()));
}

TEST_F(DesktopHost, PrefersTheDesktopDocumentsFolderWhenBothHoldTheGame) {
    placeGame(protonDocuments());
    placeGame(xdgDocuments());
    EXPECT_EQ(personalFolder(), nativeText(xdgDocuments()));
}

TEST_F(DesktopHost, FallsBackToTheDesktopDocumentsFolderWhenNoneHoldsTheGame) {
    EXPECT_EQ(personalFolder(), nativeText(xdgDocuments()));
}

TEST_F(DesktopHost, LooksInTheWinePrefixOfTheLoggedInUser) {
    const fs::path prefix = home() / "games" / "ut3-prefix";
    qputenv("WINEPREFIX", QByteArray::fromStdString(prefix.string()));
    placeGame(prefix / "drive_c" / "users" / "player" / "Documents");
    EXPECT_EQ(personalFolder(), nativeText(prefix / "drive_c" / "users" / "player" / "Documents"));
}

TEST_F(DesktopHost, TakesTheLoginNameFromLognameWhenUserIsUnset) {
    qunsetenv("USER");
    qputenv("LOGNAME", "other");
    placeGame(home() / ".wine" / "drive_c" / "users" / "other" / "My Documents");
    EXPECT_EQ(personalFolder(),
              nativeText(home() / ".wine" / "drive_c" / "users" / "other" / "My Documents"));
}

#else

// The shell's personal folder of the user profile (Wine's too), as on a profile whose
// Documents folder is not redirected; every path the player reads uses "\\".
TEST(DesktopHost, UsesTheShellsPersonalFolderOnWindows) {
    FakeDialogs dialogs;
    const QString folder = QString::fromStdString(makeDesktopIniHost(dialogs).personalFolder());
    const QString profile = qEnvironmentVariable("USERPROFILE");
    ASSERT_FALSE(profile.isEmpty());
    EXPECT_EQ(folder.compare(profile + QStringLiteral("\\Documents"), Qt::CaseInsensitive), 0)
        << folder.toStdString();
    EXPECT_FALSE(folder.contains(u'/')) << folder.toStdString();
}

// The short time format of the player's locale gives the separator of the tweak file's
// creation date.
TEST(DesktopHost, TakesTheTimeSeparatorFromTheWindowsLocale) {
    wchar_t saved[80] = {};
    ASSERT_GT(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTTIME, saved, 80), 0);
    ASSERT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTTIME, L"HH.mm"));
    FakeDialogs dialogs;
    const std::string stamp = makeDesktopIniHost(dialogs).creationTimestamp(); // dd.mm.yyyy, hh.nn.ss
    SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTTIME, saved);
    ASSERT_EQ(stamp.size(), 20u) << stamp;
    EXPECT_EQ(stamp[14], '.') << stamp;
    EXPECT_EQ(stamp[17], '.') << stamp;
}

#endif

// Knobwerk.ini lies beside the running executable, named with the system's separators.
TEST(DesktopHostProgram, NamesTheFolderOfTheRunningExecutable) {
    FakeDialogs dialogs;
    const std::string folder = makeDesktopIniHost(dialogs).executableFolder();
#ifdef Q_OS_WIN
    const std::string program = "\\knobwerk_gui_tests.exe";
    EXPECT_EQ(folder.find('/'), std::string::npos) << folder;
#else
    const std::string program = "/knobwerk_gui_tests";
#endif
    EXPECT_TRUE(fs::is_regular_file(filestore::toPath(folder + program))) << folder;
}

} // namespace
