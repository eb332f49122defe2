// Load, save, export, import, presets and the marking decision, run on the real files
// of a temporary game folder against values held in memory.
#include "sync/SettingsSync.h"

#include "IniHostFixture.h"
#include "MemoryValues.h"
#include "SampleGameFiles.h"

#include "inidigest/IniDigest.h"
#include "inidigest/IniError.h"
#include "settings/Presets.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

using namespace settingsync;

class SettingsSyncTest : public testing::Test {
protected:
    SettingsSyncTest() { ini.writeSampleGameFiles(); }

    std::string file(const char* name) const { return readBytes(ini.gameFile(name)); }
    // Runs `operation` and gives back the text of the IniError it throws.
    template <class Operation> std::string errorOf(Operation operation) {
        try {
            operation();
        } catch (const IniError& error) {
            return error.what();
        }
        return "no error";
    }

    ScopedIniHost ini;
    MemoryValues values;
    StoppedLoad stopped;
};

struct Shown {
    const char* control;
    bool checked;
    const char* text;
};

TEST_F(SettingsSyncTest, LoadShowsEachKindAsItsCodecReadsIt) {
    loadFromGameFiles(values, stopped);
    const Shown cases[] = {
        {"bUseTextureStreaming", true, ""},         // 1 is true
        {"bDisablePhysXHardwareSupport", true, ""}, // any letter case
        {"CompositeDynamicLights", false, ""},      //
        {"bPlayMoviez", true, ""},                  // the game's movie list is not empty
        {"ShadowFilterRadius", false, "32"},        // 0x20, as plain decimal
        {"DetailMode", false, "16"},                // 016
        {"DepthBias", false, "0.012000"},           // float text exactly as stored
        {"DoubleClickTime", false, "0.250000"},     // the one key of UTInput.ini
    };
    for (const Shown& c : cases) {
        EXPECT_EQ(values.checked(c.control), c.checked) << c.control;
        EXPECT_EQ(values.text(c.control), c.text) << c.control;
    }
    EXPECT_TRUE(stopped.settled());
    EXPECT_TRUE(ini.messages.empty());
}

TEST_F(SettingsSyncTest, LoadOfAMissingFileGivesItsFailureValuesAndOneMessage) {
    fs::remove(ini.gameFile("UTGame.ini"));
    values.texts["HudCanvasScale"] = "0.95";
    loadFromGameFiles(values, stopped);
    EXPECT_EQ(ini.messages.size(), 1u);
    EXPECT_FALSE(values.checked("bShowHud"));
    EXPECT_EQ(values.text("HudCanvasScale"), "");
    EXPECT_EQ(values.text("ConsoleMessageCount"), "");
    EXPECT_EQ(values.text("DoubleClickTime"), "0.250000") << "the other files are read";
}

TEST_F(SettingsSyncTest, AStoppedLoadKeepsItsUnreadRowsOutOfTheSave) {
    writeBytes(ini.gameFile("UTGame.ini"), replaced(kSampleGameIni, "bShowDamage=True", "bShowDamage=yes"));
    values.texts["ResX"] = "999";
    EXPECT_EQ(loadFromGameFiles(values, stopped).error, "'yes' is not a valid boolean value");
    EXPECT_TRUE(values.checked("bShowHud")) << "the row before the stop is loaded";
    EXPECT_EQ(values.text("ResX"), "999") << "a row after the stop keeps its value";
    EXPECT_FALSE(stopped.unread("bShowHud"));
    EXPECT_TRUE(stopped.unread("bShowDamage"));
    EXPECT_TRUE(stopped.unread("ResX"));

    // A save leaves the unread rows as the files have them, unless they were set since.
    values.boxes["bShowHud"] = false;
    values.texts["ResY"] = "1440";
    stopped.settle("ResY");
    saveToGameFiles(values, stopped);
    EXPECT_EQ(ReadIniStringOrEmpty(GameIni, "Engine.HUD", "bShowHud"), "False");
    EXPECT_EQ(ReadIniStringOrEmpty(GameIni, "UTGame.UTHUD", "bShowDamage"), "yes");
    EXPECT_EQ(ReadIniStringOrEmpty(EngineIni, "SystemSettings", "ResX"), "1280");
    EXPECT_EQ(ReadIniStringOrEmpty(EngineIni, "SystemSettings", "ResY"), "1440");
    EXPECT_TRUE(stopped.unsavedNotice().starts_with("The last load stopped in UTGame.ini, section "
                                                    "[UTGame.UTHUD], at bShowDamage=yes:"));

    writeBytes(ini.gameFile("UTGame.ini"), kSampleGameIni);
    loadFromGameFiles(values, stopped);
    EXPECT_TRUE(stopped.settled()) << "a whole load settles every row";
    EXPECT_EQ(stopped.unsavedNotice(), "");
}

TEST_F(SettingsSyncTest, ALoadThatStopsAgainKeepsWhatThePlayerSet) {
    writeBytes(ini.gameFile("UTGame.ini"), replaced(kSampleGameIni, "bShowDamage=True", "bShowDamage=yes"));
    EXPECT_NE(loadFromGameFiles(values, stopped).error, "");
    values.texts["ResY"] = "1440";
    stopped.settle("ResY");
    EXPECT_NE(loadFromGameFiles(values, stopped).error, "");
    EXPECT_FALSE(stopped.unread("ResY")) << "the player's value is still there";
    EXPECT_TRUE(stopped.unread("ResX"));
    saveToGameFiles(values, stopped);
    EXPECT_EQ(ReadIniStringOrEmpty(EngineIni, "SystemSettings", "ResY"), "1440");
}

TEST_F(SettingsSyncTest, ExportWritesNothingWhileASettingThatAnImportReadsIsUnknown) {
    writeBytes(ini.gameFile("UTEngine.ini"), replaced(kSampleEngineIni, "bUseSound=True", "bUseSound=yes"));
    EXPECT_NE(loadFromGameFiles(values, stopped).error, "");
    const std::string before = readBytes(ini.tweakFile());
    EXPECT_NE(exportToTweakFile(values, stopped).refusal, "");
    EXPECT_EQ(readBytes(ini.tweakFile()), before);
    // The movie row, which no import reads, does not hold the export back.
    for (const CatalogueRow& row : settingsCatalogue()) {
        if (row.control != "bPlayMoviez")
            stopped.settle(row.control);
        values.texts[std::string(row.control)] = "1";
    }
    const WalkResult exported = exportToTweakFile(values, stopped);
    EXPECT_EQ(exported.refusal + exported.error, "");
    EXPECT_FALSE(exported.fileWentMissing);
}

TEST_F(SettingsSyncTest, SaveAfterALoadChangesOnlyTheFormOfTheSettingsLines) {
    loadFromGameFiles(values, stopped);
    saveToGameFiles(values, stopped);
    std::string engine = replaced(kSampleEngineIni, "bUseTextureStreaming=1", "bUseTextureStreaming=True");
    engine = replaced(engine, "bDisablePhysXHardwareSupport=TRUE", "bDisablePhysXHardwareSupport=True");
    engine = replaced(engine, "ShadowFilterRadius=0x20", "ShadowFilterRadius=32");
    engine = replaced(engine, "DetailMode=016", "DetailMode=16");
    EXPECT_EQ(file("UTEngine.ini"), engine) << "the movie list stays, as its box is checked";
    EXPECT_EQ(file("UTGame.ini"), kSampleGameIni);
    EXPECT_EQ(file("UTInput.ini"), kSampleInputIni);
}

TEST_F(SettingsSyncTest, SaveWritesEachKindAsItsCodecWritesIt) {
    loadFromGameFiles(values, stopped);
    values.boxes["MotionBlur"] = false;
    values.boxes["bPlayMoviez"] = false;
    values.texts["MaxAnisotropy"] = " $10";
    values.texts["DoubleClickTime"] = "";
    saveToGameFiles(values, stopped);
    EXPECT_EQ(ReadIniStringOrEmpty(EngineIni, "SystemSettings", "MotionBlur"), "False");
    EXPECT_EQ(ReadIniStringOrEmpty(EngineIni, "SystemSettings", "MaxAnisotropy"), "16");
    EXPECT_EQ(ReadIniStringOrEmpty(EngineIni, "FullScreenMovie", "StartupMovies"), "");
    EXPECT_NE(file("UTEngine.ini").find("StartupMovies=UT_intro"), std::string::npos)
        << "only the first key of the name is written";
    EXPECT_EQ(ReadIniString(InputIni, "Engine.PlayerInput", "DoubleClickTime"), "");
}

TEST_F(SettingsSyncTest, SaveRefusesAFieldThatIsNoIntegerBeforeTheFirstWrite) {
    loadFromGameFiles(values, stopped);
    values.boxes["MotionBlur"] = false;
    values.texts["SkeletalMeshLODBias"] = "abc";
    EXPECT_EQ(saveToGameFiles(values, stopped).error, "'abc' is not a valid integer value");
    EXPECT_EQ(file("UTEngine.ini"), kSampleEngineIni);

    // Rows of a missing file are never written, so their text does not matter.
    values.texts["SkeletalMeshLODBias"] = "0";
    values.texts["ConsoleMessageCount"] = "";
    fs::remove(ini.gameFile("UTGame.ini"));
    saveToGameFiles(values, stopped);
    EXPECT_EQ(ReadIniStringOrEmpty(EngineIni, "SystemSettings", "MotionBlur"), "False");
    EXPECT_FALSE(fs::exists(ini.gameFile("UTGame.ini"))) << "a missing file is not created";
}

TEST_F(SettingsSyncTest, ExportThenImportGivesBackEverySettingButTheMovieBox) {
    loadFromGameFiles(values, stopped);
    values.texts["MaxAnisotropy"] = "007";
    const WalkResult exported = exportToTweakFile(values, stopped);
    ASSERT_EQ(exported.refusal + exported.error, "");
    ASSERT_FALSE(exported.fileWentMissing);
    EXPECT_EQ(ReadIniStringOrEmpty(TweakFile, "General", "Version"), "v1.0");
    EXPECT_EQ(ReadIniStringOrEmpty(TweakFile, "General", "CreationDate"), ini.timestamp);

    MemoryValues imported;
    imported.boxes["bPlayMoviez"] = false;
    ASSERT_EQ(chooseTweakFile(ini.tweakFile().string()), TweakFileCheck::Accepted);
    const WalkResult outcome = importTweakFile(imported, stopped);
    EXPECT_EQ(outcome.error, "");
    EXPECT_FALSE(outcome.fileWentMissing);
    values.texts["MaxAnisotropy"] = "7";
    values.boxes["bPlayMoviez"] = false;
    EXPECT_EQ(imported.boxes, values.boxes);
    EXPECT_EQ(imported.texts, values.texts);
}

TEST_F(SettingsSyncTest, ExportIntoATweakFileThatWentMissingIsNoSuccess) {
    fs::remove(ini.tweakFile());
    EXPECT_TRUE(exportToTweakFile(values, stopped).fileWentMissing);
    EXPECT_EQ(ini.messages.size(), 1u);
    EXPECT_FALSE(fs::exists(ini.tweakFile()));
}

TEST_F(SettingsSyncTest, ChoosingATweakFile) {
    const fs::path chosen = ini.programFolder() / "shared.ini";
    struct Case {
        const char* content; // nullptr: no file at all
        TweakFileCheck check;
    };
    const Case cases[] = {{nullptr, TweakFileCheck::NotFound},
                          {"[General]\r\nCreationDate=x\r\n", TweakFileCheck::NotATweakFile},
                          {"[General]\r\nVersion=\r\n", TweakFileCheck::NotATweakFile},
                          {"[General]\r\nVersion=v9\r\n", TweakFileCheck::Accepted}};
    for (const Case& c : cases) {
        fs::remove(chosen);
        if (c.content)
            writeBytes(chosen, c.content);
        EXPECT_EQ(chooseTweakFile(chosen.string()), c.check) << (c.content ? c.content : "no file");
    }
    fs::create_directory(chosen.string() + ".d");
    EXPECT_EQ(chooseTweakFile(chosen.string() + ".d"), TweakFileCheck::NotFound) << "a folder";
}

TEST_F(SettingsSyncTest, ImportOfAFileWithOnlyAVersionGivesEachKindItsDefault) {
    values.boxes["MotionBlur"] = true;
    values.boxes["bPlayMoviez"] = true;
    writeBytes(ini.programFolder() / "bare.ini", "[General]\r\nVersion=x\r\n");
    ASSERT_EQ(chooseTweakFile((ini.programFolder() / "bare.ini").string()), TweakFileCheck::Accepted);
    importTweakFile(values, stopped);
    EXPECT_FALSE(values.checked("MotionBlur"));
    EXPECT_TRUE(values.checked("bPlayMoviez")) << "the import does not touch the movie box";
    EXPECT_EQ(values.text("ResX"), "0");
    EXPECT_EQ(values.text("DepthBias"), "-1");
}

TEST_F(SettingsSyncTest, ImportStopsAtABooleanThatDoesNotConvert) {
    const fs::path shared = ini.programFolder() / "shared.ini";
    writeBytes(shared, "[General]\r\nVersion=v1.0\r\n[Engine.Engine]\r\nbUseSound=True\r\n"
                       "[SystemSettings]\r\nStaticDecals=yes\r\nMotionBlur=True\r\nResX=640\r\n");
    ASSERT_EQ(chooseTweakFile(shared.string()), TweakFileCheck::Accepted);
    values.texts["ResX"] = "1280";
    const WalkResult outcome = importTweakFile(values, stopped);
    EXPECT_EQ(outcome.error, "'yes' is not a valid boolean value");
    EXPECT_TRUE(values.checked("bUseSound"));
    EXPECT_FALSE(values.checked("MotionBlur"));
    EXPECT_EQ(values.text("ResX"), "1280");
}

TEST_F(SettingsSyncTest, AnErrorOfTheMarkingStopsTheImportAtThatBox) {
    writeBytes(ini.programFolder() / "bare.ini", "[General]\r\nVersion=x\r\n");
    ASSERT_EQ(chooseTweakFile((ini.programFolder() / "bare.ini").string()), TweakFileCheck::Accepted);
    loadFromGameFiles(values, stopped);
    values.changed.clear();
    values.onChange = [](std::string_view box) {
        if (box == "bUseSound")
            throw IniError("'' is not a valid boolean value");
    };
    const WalkResult outcome = importTweakFile(values, stopped);
    EXPECT_EQ(outcome.error, "'' is not a valid boolean value");
    EXPECT_EQ(values.changed, std::vector<std::string>({"bUseSound"}))
        << "bAllowMatureLanguage was clear already";
    EXPECT_EQ(values.text("ResX"), "1280") << "nothing after the box";
}

TEST_F(SettingsSyncTest, PresetSetsTheBoxesThenTheFields) {
    values.onChange = [&](std::string_view) {
        EXPECT_EQ(values.text("ResX"), "") << "the fields come after every box";
    };
    applyPreset(values, 1, stopped);
    for (const PresetCheckBox& entry : presetCheckBoxes())
        EXPECT_EQ(values.checked(entry.control), entry.checked[1]) << entry.control;
    for (const PresetFieldText& entry : presetFieldTexts())
        EXPECT_EQ(values.text(entry.control), entry.text[1]) << entry.control;
    EXPECT_EQ(values.text("ResY"), "768");
    EXPECT_TRUE(values.checked("bPlayMoviez"));
}

TEST_F(SettingsSyncTest, ABoxDiffersWhenItsStateIsNotTheGameFilesValue) {
    writeBytes(ini.gameFile("UTGame.ini"), replaced(kSampleGameIni, "bWeaponBob=True\r\n", ""));
    struct Case {
        const char* box;
        bool checked;
        bool differs;
    };
    const Case cases[] = {{"MotionBlur", true, false},
                          {"MotionBlur", false, true},
                          {"bUseTextureStreaming", true, false}, // stored as 1
                          {"bWeaponBob", true, true},
                          {"bWeaponBob", false, false}}; // key missing: false
    for (const Case& c : cases) {
        values.boxes[c.box] = c.checked;
        EXPECT_EQ(differsFromGameFile(values, c.box), c.differs) << c.box << " " << c.checked;
    }
    writeBytes(ini.gameFile("UTEngine.ini"),
               replaced(kSampleEngineIni, "MotionBlur=True", "MotionBlur=maybe"));
    EXPECT_EQ(errorOf([&] { differsFromGameFile(values, "MotionBlur"); }),
              "'maybe' is not a valid boolean value");
}

} // namespace
