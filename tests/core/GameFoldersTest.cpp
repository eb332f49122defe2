#include "platform/GameFolders.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using gamefolders::documentsFolderCandidates;
using gamefolders::findDocumentsFolder;
using gamefolders::holdsGameConfig;
using gamefolders::SearchEnvironment;
using gamefolders::steamLibraryFolders;

namespace {

fs::path fromUtf8(std::string_view text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

std::string utf8(fs::path path) {
    const std::u8string text = path.make_preferred().u8string();
    return std::string(text.begin(), text.end());
}

std::string quoted(const fs::path& path) {
    return "\"" + path.generic_string() + "\"";
}

// A made-up user account in a fresh temporary folder: <root>/home/player with an
// empty Documents folder.
class GameFolders : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = root_ / "home" / "player";
        fs::create_directories(home_ / "Documents");
    }

    SearchEnvironment environment() const { return {utf8(home_), utf8(home_ / "Documents"), "", "player"}; }

    static void placeGame(const fs::path& documents) {
        writeBytes(documents / "My Games" / "Unreal Tournament 3" / "UTGame" / "Config" / "UTEngine.ini",
                   "[Engine.Engine]\nbSmoothFrameRate=TRUE\n");
    }

    static fs::path protonDocuments(const fs::path& library) {
        return library / "steamapps" / "compatdata" / "13210" / "pfx" / "drive_c" / "users" / "steamuser" /
               "Documents";
    }

    // A Steam installation root with its own library folder and a listing of libraries.
    static void makeSteamRoot(const fs::path& steamRoot, const std::vector<fs::path>& listed,
                              const std::string& listing = "steamapps/libraryfolders.vdf") {
        fs::create_directories(steamRoot / "steamapps");
        std::string text = "\"libraryfolders\"\n{\n";
        for (std::size_t i = 0; i < listed.size(); ++i) {
            text += "\t\"" + std::to_string(i) + "\"\n\t{\n\t\t\"path\"\t\t" + quoted(listed[i]) + "\n\t}\n";
        }
        text += "}\n";
        writeBytes(steamRoot / listing, text);
    }

    fs::path nativeSteam() const { return home_ / ".local" / "share" / "Steam"; }
    fs::path flatpakSteam() const {
        return home_ / ".var" / "app" / "com.valvesoftware.Steam" / ".local" / "share" / "Steam";
    }

    TempFolder temp_;
    const fs::path root_ = temp_.path();
    fs::path home_;
};

TEST_F(GameFolders, WithoutTheGameAnywhereTheDesktopFolderIsUsed) {
    // Prefixes and Wine folders exist, but none holds the settings file.
    const fs::path library = root_ / "games" / "SteamLibrary";
    makeSteamRoot(nativeSteam(), {nativeSteam(), library});
    fs::create_directories(protonDocuments(nativeSteam()) / "My Games" / "Unreal Tournament 3" / "UTGame" /
                           "Config");
    fs::create_directories(protonDocuments(library));
    fs::create_directories(home_ / ".wine" / "drive_c" / "users" / "player" / "Documents");

    EXPECT_EQ(findDocumentsFolder(environment()), utf8(home_ / "Documents"));

    SearchEnvironment elsewhere = environment();
    elsewhere.xdgDocuments = utf8(root_ / "Dokumente") + "/";
    EXPECT_EQ(findDocumentsFolder(elsewhere), utf8(root_ / "Dokumente")) << "no trailing separator";

    SearchEnvironment unknown = environment();
    unknown.xdgDocuments.clear();
    EXPECT_EQ(findDocumentsFolder(unknown), utf8(home_ / "Documents")) << "home/Documents stands in";
}

TEST_F(GameFolders, GameInHomeDocuments) {
    placeGame(home_ / "Documents");
    EXPECT_EQ(findDocumentsFolder(environment()), utf8(home_ / "Documents"));
    EXPECT_TRUE(holdsGameConfig(utf8(home_ / "Documents")));
}

TEST_F(GameFolders, GameInProtonPrefixOfASecondLibrary) {
    const fs::path library = root_ / "mnt" / "games" / "SteamLibrary";
    fs::create_directories(library);
    makeSteamRoot(nativeSteam(), {nativeSteam(), library});
    placeGame(protonDocuments(library));

    EXPECT_EQ(findDocumentsFolder(environment()), utf8(protonDocuments(library)));
    EXPECT_FALSE(holdsGameConfig(utf8(home_ / "Documents")));
}

TEST_F(GameFolders, LibraryListedOnlyInTheConfigListing) {
    const fs::path library = root_ / "ssd" / "Steam Library";
    fs::create_directories(library);
    makeSteamRoot(nativeSteam(), {library}, "config/libraryfolders.vdf");
    placeGame(protonDocuments(library));

    EXPECT_EQ(findDocumentsFolder(environment()), utf8(protonDocuments(library)));
}

TEST_F(GameFolders, LibraryListedByTheSteamSymlinkRoot) {
    const fs::path library = root_ / "mnt" / "other";
    fs::create_directories(library);
    makeSteamRoot(home_ / ".steam" / "steam", {library});
    placeGame(protonDocuments(library));

    EXPECT_EQ(findDocumentsFolder(environment()), utf8(protonDocuments(library)));
}

TEST_F(GameFolders, DesktopFolderWinsOverAProtonPrefix) {
    makeSteamRoot(nativeSteam(), {nativeSteam()});
    placeGame(protonDocuments(nativeSteam()));
    placeGame(home_ / "Documents");

    EXPECT_EQ(findDocumentsFolder(environment()), utf8(home_ / "Documents"));
}

TEST_F(GameFolders, ProtonPrefixWinsOverTheWinePrefix) {
    makeSteamRoot(nativeSteam(), {nativeSteam()});
    placeGame(protonDocuments(nativeSteam()));
    placeGame(home_ / ".wine" / "drive_c" / "users" / "player" / "Documents");

    EXPECT_EQ(findDocumentsFolder(environment()), utf8(protonDocuments(nativeSteam())));
}

TEST_F(GameFolders, GameInFlatpakSteam) {
    // No listing at all: the root counts as a library by itself.
    fs::create_directories(flatpakSteam() / "steamapps");
    placeGame(protonDocuments(flatpakSteam()));

    EXPECT_EQ(findDocumentsFolder(environment()), utf8(protonDocuments(flatpakSteam())));
}

TEST_F(GameFolders, GameInTheWinePrefix) {
    const fs::path users = home_ / ".wine" / "drive_c" / "users";
    placeGame(users / "player" / "My Documents");
    EXPECT_EQ(findDocumentsFolder(environment()), utf8(users / "player" / "My Documents"));

    placeGame(users / "player" / "Documents");
    EXPECT_EQ(findDocumentsFolder(environment()), utf8(users / "player" / "Documents")) << "Documents first";

    SearchEnvironment otherUser = environment();
    otherUser.userName = "someone";
    EXPECT_EQ(findDocumentsFolder(otherUser), utf8(home_ / "Documents"))
        << "only the user's own folder counts";
}

TEST_F(GameFolders, WinePrefixFromTheEnvironmentReplacesTheDefault) {
    const fs::path prefix = root_ / "prefixes" / "ut3";
    placeGame(prefix / "drive_c" / "users" / "player" / "Documents");

    SearchEnvironment withPrefix = environment();
    withPrefix.winePrefix = utf8(prefix) + "/";
    EXPECT_EQ(findDocumentsFolder(withPrefix), utf8(prefix / "drive_c" / "users" / "player" / "Documents"));
    EXPECT_EQ(findDocumentsFolder(environment()), utf8(home_ / "Documents")) << "~/.wine has no game";

    // With WINEPREFIX set, ~/.wine is not searched.
    placeGame(home_ / ".wine" / "drive_c" / "users" / "player" / "Documents");
    withPrefix.winePrefix = utf8(root_ / "prefixes" / "empty");
    EXPECT_EQ(findDocumentsFolder(withPrefix), utf8(home_ / "Documents"));
}

TEST_F(GameFolders, MalformedListingIsIgnored) {
    const fs::path library = root_ / "mnt" / "games";
    fs::create_directories(library);
    fs::create_directories(nativeSteam() / "steamapps");
    writeBytes(nativeSteam() / "steamapps" / "libraryfolders.vdf",
               std::string("\"libraryfolders\" { \"0\" { \"path\" \"") + library.generic_string() +
                   std::string("\x00\xff\xfe{{{", 6));
    placeGame(protonDocuments(nativeSteam()));

    EXPECT_EQ(findDocumentsFolder(environment()), utf8(protonDocuments(nativeSteam())));
    EXPECT_EQ(steamLibraryFolders(utf8(home_)), std::vector<std::string>{utf8(nativeSteam())})
        << "the cut-off path is not taken";
}

TEST_F(GameFolders, CandidatesInSearchOrder) {
    const fs::path second = root_ / "mnt" / "games";
    fs::create_directories(second);
    makeSteamRoot(nativeSteam(), {nativeSteam(), second});
    fs::create_directories(flatpakSteam());
    const SearchEnvironment env = environment();
    const fs::path user = home_ / ".wine" / "drive_c" / "users" / "player";

    const std::vector<std::string> expected = {
        utf8(home_ / "Documents"),     utf8(protonDocuments(nativeSteam())),
        utf8(protonDocuments(second)), utf8(protonDocuments(flatpakSteam())),
        utf8(user / "Documents"),      utf8(user / "My Documents"),
    };
    EXPECT_EQ(documentsFolderCandidates(env), expected);

    // The chosen folder is always one of the candidates.
    placeGame(protonDocuments(flatpakSteam()));
    EXPECT_EQ(findDocumentsFolder(env), expected[3]);
}

TEST_F(GameFolders, LibrariesAreListedOncePerPlace) {
    const fs::path library = root_ / "mnt" / "games";
    fs::create_directories(library);
    const fs::path missing = root_ / "mnt" / "unplugged";
    // The same library in several spellings, a library that is not there, and a
    // drive-letter path from another system.
    writeBytes(
        nativeSteam() / "steamapps" / "libraryfolders.vdf",
        "\"libraryfolders\" {\n"
        " \"0\" { \"path\" " +
            quoted(nativeSteam()) + " }\n \"1\" { \"path\" " + quoted(library) +
            " }\n"
            " \"2\" { \"path\" \"" +
            library.generic_string() + "/\" }\n \"3\" { \"path\" \"" + (root_ / "mnt").generic_string() +
            "/./games\" }\n"
            " \"4\" { \"path\" \"" +
            (root_ / "mnt" / "x").generic_string() + "/../games\" }\n \"5\" { \"path\" " + quoted(missing) +
            " }\n"
            " \"6\" { \"path\" \"D:\\\\SteamLibrary\" }\n}\n");

    EXPECT_EQ(steamLibraryFolders(utf8(home_)),
              (std::vector<std::string>{utf8(nativeSteam()), utf8(library)}));
}

TEST_F(GameFolders, SteamRootReachedThroughASymlinkCountsOnce) {
    makeSteamRoot(nativeSteam(), {nativeSteam()});
    fs::create_directories(home_ / ".steam");
    std::error_code error;
    fs::create_directory_symlink(nativeSteam(), home_ / ".steam" / "steam", error);
    if (error) {
        GTEST_SKIP() << "symbolic links unavailable: " << error.message();
    }
    placeGame(protonDocuments(nativeSteam()));

    // ~/.steam/steam comes first in the search, so its spelling is kept.
    EXPECT_EQ(steamLibraryFolders(utf8(home_)), std::vector<std::string>{utf8(home_ / ".steam" / "steam")});
    const std::vector<std::string> candidates = documentsFolderCandidates(environment());
    EXPECT_EQ(
        std::count(candidates.begin(), candidates.end(), utf8(protonDocuments(home_ / ".steam" / "steam"))),
        1);
    EXPECT_EQ(std::count(candidates.begin(), candidates.end(), utf8(protonDocuments(nativeSteam()))), 0);
    EXPECT_EQ(findDocumentsFolder(environment()), utf8(protonDocuments(home_ / ".steam" / "steam")));
}

TEST_F(GameFolders, WineDocumentsLinkedToTheDesktopFolderCountsOnce) {
    const fs::path user = home_ / ".wine" / "drive_c" / "users" / "player";
    fs::create_directories(user);
    std::error_code error;
    fs::create_directory_symlink(home_ / "Documents", user / "Documents", error);
    if (error) {
        GTEST_SKIP() << "symbolic links unavailable: " << error.message();
    }
    EXPECT_EQ(documentsFolderCandidates(environment()),
              (std::vector<std::string>{utf8(home_ / "Documents"), utf8(user / "My Documents")}));
}

TEST_F(GameFolders, NonAsciiNamesStayIntact) {
    const fs::path home = root_ / "home" / fromUtf8("Jöns Ærø");
    fs::create_directories(home / "Documents");
    fs::create_directories(home / ".local" / "share" / "Steam" / "steamapps");
    placeGame(protonDocuments(home / ".local" / "share" / "Steam"));

    const SearchEnvironment env{utf8(home), utf8(home / "Documents"), "", "Jöns"};
    const std::string found = findDocumentsFolder(env);
    EXPECT_EQ(found, utf8(protonDocuments(home / ".local" / "share" / "Steam")));
    EXPECT_NE(found.find("Jöns Ærø"), std::string::npos);
    EXPECT_TRUE(holdsGameConfig(found));
}

TEST_F(GameFolders, MissingHomeSearchesOnlyWhatIsGiven) {
    const fs::path prefix = root_ / "prefix";
    const SearchEnvironment env{"", utf8(root_ / "docs"), utf8(prefix), "player"};
    EXPECT_EQ(documentsFolderCandidates(env),
              (std::vector<std::string>{utf8(root_ / "docs"),
                                        utf8(prefix / "drive_c" / "users" / "player" / "Documents"),
                                        utf8(prefix / "drive_c" / "users" / "player" / "My Documents")}));

    const SearchEnvironment nothing{};
    EXPECT_TRUE(documentsFolderCandidates(nothing).empty());
    EXPECT_EQ(findDocumentsFolder(nothing), "");
    EXPECT_FALSE(holdsGameConfig(""));
}

TEST_F(GameFolders, SettingsFileMustBeAFile) {
    const fs::path config =
        home_ / "Documents" / "My Games" / "Unreal Tournament 3" / "UTGame" / "Config" / "UTEngine.ini";
    fs::create_directories(config); // a folder of that name
    makeSteamRoot(nativeSteam(), {nativeSteam()});
    placeGame(protonDocuments(nativeSteam()));

    EXPECT_FALSE(holdsGameConfig(utf8(home_ / "Documents")));
    EXPECT_EQ(findDocumentsFolder(environment()), utf8(protonDocuments(nativeSteam())));
}

} // namespace
