// The access layer on real files in a temporary folder: defaults, the once-per-operation
// missing-file report, conversions on the way in and out, and failed writes.
#include "inidigest/IniDigest.h"
#include "IniHostFixture.h"
#include "inidigest/IniError.h"

#include <gtest/gtest.h>

#include <functional>

namespace fs = std::filesystem;

namespace {

const std::string kEngine = "[IniVersion]\r\n"
                            "Patch=5\r\n"
                            "\r\n"
                            "[SystemSettings]\r\n"
                            "MotionBlur=TRUE\r\n"
                            "Bloom=yes\r\n"
                            "MaxAnisotropy=016\r\n"
                            "ResX=0x20\r\n"
                            "ScreenPercentage=100.000000\r\n"
                            "DetailMode=2.000000\r\n"
                            "ShadowFilterQualityBias= 7\r\n";

class IniDigestTest : public testing::Test {
protected:
    void SetUp() override { writeBytes(ini.gameFile("UTEngine.ini"), kEngine); }
    std::string missingMessage(const std::string& name) const {
        return "The ini, expected in \"" + ini.gameFile(name).string() + "\", could not be found or loaded.";
    }
    ScopedIniHost ini;
};

TEST_F(IniDigestTest, ReadsEachKindWithItsDefault) {
    const auto boolean = [](const char* key) {
        return [key] { return ReadIniBool(EngineIni, "SystemSettings", key) ? "true" : "false"; };
    };
    const auto read = [](auto reader, const char* key) {
        return [reader, key] { return reader(EngineIni, "SystemSettings", key); };
    };
    const struct {
        const char* what;
        std::function<std::string()> read;
        const char* result; // the text read, or the error raised
    } cases[] = {{"string", read(ReadIniString, "ScreenPercentage"), "100.000000"},
                 {"missing string", read(ReadIniString, "Missing"), "-1"},
                 {"missing string or empty", read(ReadIniStringOrEmpty, "Missing"), ""},
                 {"integer 016", read(ReadIniInteger, "MaxAnisotropy"), "16"},
                 {"integer 0x20", read(ReadIniInteger, "ResX"), "32"},
                 {"integer 2.000000", read(ReadIniInteger, "DetailMode"), "0"},
                 {"integer \" 7\"", read(ReadIniInteger, "ShadowFilterQualityBias"), "7"},
                 {"missing integer", read(ReadIniInteger, "Missing"), "0"},
                 {"boolean TRUE", boolean("MotionBlur"), "true"},
                 {"missing boolean", boolean("Missing"), "false"},
                 {"boolean yes", boolean("Bloom"), "'yes' is not a valid boolean value"},
                 {"patch version", ReadPatchVersion, "5"}};
    for (const auto& c : cases) {
        std::string result;
        try {
            result = c.read();
        } catch (const IniError& error) {
            result = error.what();
        }
        EXPECT_EQ(result, c.result) << c.what;
    }
    EXPECT_TRUE(ini.messages.empty());
}

TEST_F(IniDigestTest, OnlyTheFirstMissingFileOfAnOperationIsReported) {
    // Each row is one operation; the first met a missing UTInput.ini after UTGame.ini.
    const struct {
        const char* what;
        std::function<void()> operation;
        std::string reported;
    } cases[] = {
        {"reads and a write of two missing files",
         [] {
             EXPECT_EQ(ReadIniString(GameIni, "Engine.HUD", "HudCanvasScale"), "");
             EXPECT_EQ(ReadIniInteger(GameIni, "Engine.HUD", "ConsoleMessageCount"), "");
             EXPECT_FALSE(ReadIniBool(InputIni, "A", "B"));
             WriteIniBool(InputIni, "A", "B", true);
         },
         missingMessage("UTGame.ini")},
        {"the next operation", [] { ReadIniString(InputIni, "A", "B"); }, missingMessage("UTInput.ini")},
        {"the custom file before any path", [] { ReadIniStringOrEmpty(CustomFile, "General", "Version"); },
         "The ini, expected in \"\", could not be found or loaded."},
        {"the patch version",
         [this] {
             fs::remove(ini.gameFile("UTEngine.ini"));
             EXPECT_EQ(ReadPatchVersion(), "");
         },
         missingMessage("UTEngine.ini")}};
    for (const auto& c : cases) {
        ResetIniErrors();
        ini.messages.clear();
        c.operation();
        EXPECT_EQ(ini.messages, std::vector<std::string>{c.reported}) << c.what;
    }
    EXPECT_FALSE(fs::exists(ini.gameFile("UTInput.ini"))) << "a write never creates a game file";
}

TEST_F(IniDigestTest, MissingPatchVersionKeyGivesMinusOne) {
    writeBytes(ini.gameFile("UTEngine.ini"), "[SystemSettings]\r\nBloom=True\r\n");
    EXPECT_EQ(ReadPatchVersion(), "-1");
}

TEST_F(IniDigestTest, WritesNormaliseAndTouchNothingElse) {
    WriteIniBool(EngineIni, "SystemSettings", "MotionBlur", false);
    WriteIniInteger(EngineIni, "SystemSettings", "MaxAnisotropy", "016");
    WriteIniInteger(EngineIni, "SystemSettings", "ResX", "$10");
    WriteIniString(EngineIni, "SystemSettings", "ScreenPercentage", "");
    std::string expected = kEngine;
    expected.replace(expected.find("MotionBlur=TRUE"), 15, "MotionBlur=False");
    expected.replace(expected.find("MaxAnisotropy=016"), 17, "MaxAnisotropy=16");
    expected.replace(expected.find("ResX=0x20"), 9, "ResX=16");
    expected.replace(expected.find("ScreenPercentage=100.000000"), 27, "ScreenPercentage=");
    EXPECT_EQ(readBytes(ini.gameFile("UTEngine.ini")), expected);
}

TEST_F(IniDigestTest, BadIntegerWriteLeavesFileUntouched) {
    EXPECT_THROW(
        {
            try {
                WriteIniInteger(EngineIni, "SystemSettings", "MaxAnisotropy", "abc");
            } catch (const IniError& error) {
                EXPECT_STREQ(error.what(), "'abc' is not a valid integer value");
                throw;
            }
        },
        IniError);
    EXPECT_EQ(readBytes(ini.gameFile("UTEngine.ini")), kEngine);
}

TEST_F(IniDigestTest, UnchangedWriteDoesNotRewriteTheFile) {
    const fs::path file = ini.gameFile("UTEngine.ini");
    const auto before = fs::last_write_time(file) - std::chrono::hours(1);
    fs::last_write_time(file, before);
    WriteIniString(EngineIni, "IniVersion", "Patch", "5");
    EXPECT_EQ(fs::last_write_time(file), before);
}

TEST_F(IniDigestTest, ReadOnlyFileFailsWithItsPathAndStaysUntouched) {
    const fs::path file = ini.gameFile("UTEngine.ini");
    makeReadOnly(file);
    for (bool value : {true, false}) {
        try {
            WriteIniBool(EngineIni, "SystemSettings", "MotionBlur", value);
            FAIL() << "write to a read-only file succeeded";
        } catch (const IniError& error) {
            EXPECT_EQ(error.what(), "Unable to write to " + file.string());
        }
    }
    EXPECT_EQ(readBytes(file), kEngine);
    EXPECT_TRUE(fs::is_empty(ini.configFolder()) == false);
    EXPECT_EQ(std::distance(fs::directory_iterator(ini.configFolder()), fs::directory_iterator()), 1)
        << "no temporary file left behind";
}

TEST_F(IniDigestTest, UnreadableIntegerReportsTheReadError) {
    // A folder where the file should be: it exists, but cannot be read.
    fs::create_directories(ini.gameFile("UTGame.ini"));
    ResetIniErrors();
    EXPECT_EQ(ReadIniInteger(GameIni, "Engine.HUD", "ConsoleMessageCount"), "");
    EXPECT_EQ(ReadIniString(GameIni, "Engine.HUD", "HudCanvasScale"), "-1");
    EXPECT_EQ(ini.messages,
              std::vector<std::string>{"An error occured while reading the key "
                                       "\"ConsoleMessageCount\"\r\nfrom Section \"Engine.HUD\"."});
    EXPECT_THROW(WriteIniString(GameIni, "Engine.HUD", "HudCanvasScale", "1"), IniError);
}

TEST(TweakFile, CreatedOnceWithThreeLines) {
    ScopedIniHost ini; // runs the start-up initialisation
    const std::string created = readBytes(ini.tweakFile());
    EXPECT_EQ(created, "[General]\r\nCreationDate=07.12.2026, 10:31:05\r\nVersion=v1.0\r\n");

    ini.timestamp = "08.12.2026, 11:00:00";
    InitIniDigest();
    EXPECT_EQ(readBytes(ini.tweakFile()), created) << "a second start leaves the file alone";
}

TEST(TweakFile, UnwritableProgramFolderRaisesUnableToWrite) {
    ScopedIniHost ini;
    fs::remove(ini.tweakFile());
    // A path whose folder is a regular file: no temporary file can be made there.
    fs::remove_all(ini.programFolder());
    writeBytes(ini.programFolder(), "not a folder");
    try {
        InitIniDigest();
        FAIL();
    } catch (const IniError& error) {
        EXPECT_EQ(error.what(), "Unable to write to " + ini.tweakFile().string());
    }
}

} // namespace
