#include "platform/SteamLibraries.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using steamlibraries::parseLibraryFolders;
using steamlibraries::readLibraryFolders;
using Paths = std::vector<std::string>;

namespace {

struct ParseCase {
    const char* name;
    std::string text;
    Paths expected;
};

// A literal's bytes, embedded zero bytes included.
template <std::size_t N> std::string bytes(const char (&literal)[N]) {
    return std::string(literal, N - 1);
}

void expectCases(const std::vector<ParseCase>& cases) {
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(parseLibraryFolders(c.text), c.expected);
    }
}

// A file as a current Steam client writes it.
const std::string kCurrentFile = R"("libraryfolders"
{
	"0"
	{
		"path"		"/home/player/.local/share/Steam"
		"label"		""
		"contentid"		"4915340523454237871"
		"totalsize"		"0"
		"update_clean_bytes_tally"		"2735519"
		"time_last_update_corruption"		"0"
		"apps"
		{
			"228980"		"417338426"
			"13210"		"8342112233"
		}
	}
	"1"
	{
		"path"		"/mnt/games/SteamLibrary"
		"label"		"Games"
		"contentid"		"811732923749204001"
		"totalsize"		"1000202039296"
		"apps"
		{
			"1"		"/not/a/library"
		}
	}
}
)";

TEST(SteamLibrariesParse, CurrentLayout) {
    expectCases({
        {"as Steam writes it", kCurrentFile, {"/home/player/.local/share/Steam", "/mnt/games/SteamLibrary"}},
        {"keys in other letter cases",
         R"("LibraryFolders" { "0" { "PATH" "/a" } "1" { "Path" "/b" } })",
         {"/a", "/b"}},
        {"unquoted words", "libraryfolders { 0 { path /srv/steam label x } }", {"/srv/steam"}},
        {"all on one line without blanks",
         R"("libraryfolders"{"0"{"path""/a"}"1"{"path""/b"}})",
         {"/a", "/b"}},
        {"path of a non-numbered block is no library",
         R"("libraryfolders" { "contentstatsid" "-1" "extra" { "path" "/x" } "2" { "path" "/y" } })",
         {"/y"}},
        {"path nested deeper is no library",
         R"("libraryfolders" { "0" { "apps" { "path" "/deep" } "path" "/a" } })",
         {"/a"}},
        {"empty and repeated paths are left out",
         R"("libraryfolders" { "0" { "path" "" } "1" { "path" "/a" } "2" { "path" "/a" } "3" { "path" "/b" } })",
         {"/a", "/b"}},
        {"other root block", R"("InstallConfigStore" { "0" { "path" "/a" } "1" "/b" })", {}},
        {"platform condition after a value",
         R"("libraryfolders" { "0" { "path" "/a" [$LINUX] "label" "" } })",
         {"/a"}},
        {"byte order mark", "\xEF\xBB\xBF\"libraryfolders\" { \"0\" { \"path\" \"/a\" } }", {"/a"}},
        {"UTF-8 path kept byte for byte",
         R"("libraryfolders" { "0" { "path" "/media/Jöns/Spiele" } })",
         {"/media/Jöns/Spiele"}},
        {"Windows line ends",
         "\"libraryfolders\"\r\n{\r\n\t\"0\"\r\n\t{\r\n\t\t\"path\"\t\t\"/a\"\r\n\t}\r\n}\r\n",
         {"/a"}},
    });
}

TEST(SteamLibrariesParse, OlderLayout) {
    expectCases({
        {"as older clients wrote it",
         R"("LibraryFolders"
{
	"TimeNextStatsReport"		"1561832478"
	"ContentStatsID"		"-158337411110787451"
	"1"		"/mnt/games/SteamLibrary"
	"2"		"/media/player/Steam"
}
)",
         {"/mnt/games/SteamLibrary", "/media/player/Steam"}},
        {"both layouts mixed", R"("libraryfolders" { "1" "/old" "2" { "path" "/new" } })", {"/old", "/new"}},
        {"numbered value outside the root block", R"("1" "/x" "libraryfolders" { "1" "/y" })", {"/y"}},
    });
}

TEST(SteamLibrariesParse, Comments) {
    expectCases({
        {"whole-line comments",
         "// written by Steam\n\"libraryfolders\"\n{\n// \"0\" { \"path\" \"/commented\" }\n\"1\" { \"path\" "
         "\"/a\" "
         "}\n}\n",
         {"/a"}},
        {"comment after a value",
         "\"libraryfolders\" { \"0\" { \"path\" \"/a\" // the main one\n } }",
         {"/a"}},
        {"comment with braces and quotes does not disturb nesting",
         "\"libraryfolders\" { // } } \"9\" \"/no\" {\n \"1\" \"/a\" }",
         {"/a"}},
        {"double slash inside quotes is text",
         R"("libraryfolders" { "0" { "path" "//server/share" } })",
         {"//server/share"}},
        {"comment at the very end without line end", "\"libraryfolders\" { \"1\" \"/a\" } // end", {"/a"}},
    });
}

TEST(SteamLibrariesParse, Escapes) {
    expectCases({
        {"escaped backslashes",
         R"("libraryfolders" { "0" { "path" "C:\\Program Files (x86)\\Steam" } })",
         {R"(C:\Program Files (x86)\Steam)"}},
        {"older layout with escaped backslashes",
         R"("LibraryFolders" { "1" "D:\\Games\\SteamLibrary" })",
         {R"(D:\Games\SteamLibrary)"}},
        {"escaped quote stays inside the string",
         R"("libraryfolders" { "0" { "path" "/a \"b\" c" } })",
         {R"(/a "b" c)"}},
        {"double backslash before the closing quote",
         R"("libraryfolders" { "0" { "path" "E:\\" } "1" "/b" })",
         {R"(E:\)", "/b"}},
        {"unknown escape kept as written", R"("libraryfolders" { "0" { "path" "/a\qb" } })", {R"(/a\qb)"}},
    });
}

TEST(SteamLibrariesParse, DamagedInputGivesWhatWasRead) {
    expectCases({
        {"empty", "", {}},
        {"only blanks", " \t\r\n\n", {}},
        {"only a comment", "// nothing here", {}},
        {"missing closing braces",
         R"("libraryfolders" { "0" { "path" "/a" } "1" { "path" "/b")",
         {"/a", "/b"}},
        {"cut off inside a string",
         R"("libraryfolders" { "0" { "path" "/a" } "1" { "path" "/mnt/ga)",
         {"/a"}},
        {"cut off after an escape character", "\"libraryfolders\" { \"1\" \"/a\" \"2\" \"C:\\", {"/a"}},
        {"cut off after a key", R"("libraryfolders" { "0" { "path")", {}},
        {"stray closing braces first", R"(} } "libraryfolders" { "0" { "path" "/a" } })", {"/a"}},
        {"extra closing brace in the middle",
         R"("libraryfolders" { "0" { "path" "/a" } } } "1" { "path" "/b" } "libraryfolders" { "2" "/c" })",
         {"/a", "/c"}},
        {"opening braces only", "{{{{{{{{", {}},
        {"a lone quote", "\"", {}},
        {"a lone backslash", "\\", {}},
        {"binary bytes", bytes("\x00\x01\xff\xfe{\x7f\"\x00}}\x80\x90"), {}},
        {"binary bytes around a readable file",
         bytes("\x00\x01\x02") + kCurrentFile + bytes("\xff\x00\xfe"),
         {"/home/player/.local/share/Steam", "/mnt/games/SteamLibrary"}},
    });
}

// Cutting a good file anywhere never yields more than the whole file, never anything
// else, and never throws: the result is always a leading part of the full list.
TEST(SteamLibrariesParse, EveryTruncationGivesALeadingPartOfTheList) {
    const Paths full = parseLibraryFolders(kCurrentFile);
    ASSERT_EQ(full.size(), 2u);
    for (std::size_t length = 0; length <= kCurrentFile.size(); ++length) {
        const Paths part = parseLibraryFolders(std::string_view(kCurrentFile).substr(0, length));
        ASSERT_LE(part.size(), full.size()) << "cut at " << length;
        for (std::size_t i = 0; i < part.size(); ++i) {
            // A cut in the middle of an unquoted word could shorten it, but every path
            // here is quoted, so only whole paths may appear.
            EXPECT_EQ(part[i], full[i]) << "cut at " << length;
        }
    }
    EXPECT_EQ(parseLibraryFolders(std::string_view(kCurrentFile).substr(0, kCurrentFile.find("\"label\""))),
              Paths{"/home/player/.local/share/Steam"});
}

TEST(SteamLibrariesParse, RandomBytesFindNothing) {
    std::mt19937 random(20240611u);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 200; ++round) {
        std::string junk(1 + random() % 2000, '\0');
        for (char& c : junk) {
            c = static_cast<char>(byte(random));
        }
        // Without the root block's name nothing can be a library.
        EXPECT_TRUE(parseLibraryFolders(junk).empty()) << "round " << round;
    }
}

class SteamLibrariesFile : public ::testing::Test {
protected:
    fs::path write(const std::string& name, const std::string& content) {
        const fs::path file = temp_.path() / name;
        writeBytes(file, content);
        return file;
    }

    TempFolder temp_;
};

TEST_F(SteamLibrariesFile, ReadsTheFileOrNothing) {
    EXPECT_EQ(readLibraryFolders(write("libraryfolders.vdf", kCurrentFile)),
              (Paths{"/home/player/.local/share/Steam", "/mnt/games/SteamLibrary"}));
    EXPECT_TRUE(readLibraryFolders(temp_.path() / "missing.vdf").empty());
    EXPECT_TRUE(readLibraryFolders(temp_.path()).empty()) << "a folder is not a file";
    EXPECT_TRUE(readLibraryFolders(write("empty.vdf", "")).empty());
    EXPECT_TRUE(readLibraryFolders(fs::path()).empty());
}

} // namespace
