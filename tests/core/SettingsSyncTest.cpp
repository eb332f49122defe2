// Load, save, export, import, presets and the marking decision, run on the real files
// of a temporary game folder against values held in memory.
#include "sync/SettingsSync.h"

#include "IniHostFixture.h"
#include "MemoryValues.h"
#include "SampleGameFiles.h"

#include "inidigest/IniDigest.h"
#include "inidigest/IniError.h"
#include "settings/Presets.h"

#include <functional>
#include <map>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

using namespace settingsync;

// A temporary game folder with the sample game files, and values held in memory.
struct SyncScene {
    SyncScene() { ini.writeSampleGameFiles(); }
    ScopedIniHost ini;
    MemoryValues values;
    StoppedLoad stopped;
};

std::string missingMessage(const fs::path& file) {
    return "The ini, expected in \"" + file.string() + "\", could not be found or loaded.";
}

class SettingsSyncTest : public testing::Test, protected SyncScene {
protected:
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

TEST_F(SettingsSyncTest, AStoppedLoadKeepsItsUnreadRowsOutOfTheSave) {
    writeBytes(ini.gameFile("UTGame.ini"), replaced(kSampleGameIni, "bShowDamage=True", "bShowDamage=yes"));
    EXPECT_NE(loadFromGameFiles(values, stopped).error, "");
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
}

TEST_F(SettingsSyncTest, ExportThenImportGivesBackEverySettingButTheMovieBox) {
    // Integers are written in plain decimal, float texts as they stand.
    const struct {
        const char* control;
        const char* entered;
        const char* written;
    } forms[] = {{"ResX", "007", "7"},
                 {"ResY", "-0", "0"},
                 {"MaxChannels", "+12", "12"},
                 {"DetailMode", "0x10", "16"},
                 {"ShadowFilterRadius", "-3", "-3"},
                 {"MaxAnisotropy", "$1F", "31"},
                 {"Bob", "-1", "-1"},
                 {"MinSmoothedFrameRate", "22.000000", "22.000000"}};
    loadFromGameFiles(values, stopped);
    for (const auto& f : forms)
        values.texts[f.control] = f.entered;
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
    for (const auto& f : forms) {
        const CatalogueRow* row = findCatalogueRow(f.control);
        EXPECT_EQ(ReadIniStringOrEmpty(TweakFile, std::string(row->section), std::string(row->key)),
                  f.written)
            << f.control;
        values.texts[f.control] = f.written;
    }
    values.boxes["bPlayMoviez"] = false;
    EXPECT_EQ(imported.boxes, values.boxes);
    EXPECT_EQ(imported.texts, values.texts);
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

TEST(SyncWalks, EachReportsAMissingFileOnceAndGoesOnWithTheOthers) {
    std::map<std::string, bool, std::less<>> differs;
    struct Case {
        const char* operation;
        // Prepares the walk and names the file that goes missing before it runs.
        std::function<fs::path(SyncScene&)> prepare;
        std::function<WalkResult(SyncScene&)> run;
        std::function<void(SyncScene&)> check;
        bool inResult = true; // the walk's result says a file went missing
    };
    const auto load = [](SyncScene& s) { return loadFromGameFiles(s.values, s.stopped); };
    const auto save = [](SyncScene& s) { return saveToGameFiles(s.values, s.stopped); };
    const Case cases[] = {
        {"load",
         [](SyncScene& s) {
             for (auto& [name, checked] : s.values.boxes)
                 checked = true;
             for (auto& [name, text] : s.values.texts)
                 text = "5";
             return s.ini.gameFile("UTGame.ini");
         },
         load,
         [](SyncScene& s) {
             for (const CatalogueRow& row : settingsCatalogue()) {
                 if (row.target != GameIni)
                     continue;
                 if (row.kind == ValueKind::Boolean)
                     EXPECT_FALSE(s.values.checked(row.control)) << row.control;
                 else
                     EXPECT_EQ(s.values.text(row.control), "") << row.control;
             }
             EXPECT_EQ(s.values.text("MaxAnisotropy"), "16") << "the other files are read";
             EXPECT_EQ(s.values.text("DoubleClickTime"), "0.250000");
         }},
        {"save",
         [](SyncScene& s) {
             loadFromGameFiles(s.values, s.stopped);
             s.values.boxes["MotionBlur"] = false;
             s.values.boxes["bShowHud"] = false;
             return s.ini.gameFile("UTInput.ini");
         },
         save,
         [](SyncScene& s) {
             EXPECT_EQ(ReadIniStringOrEmpty(EngineIni, "SystemSettings", "MotionBlur"), "False");
             EXPECT_EQ(ReadIniStringOrEmpty(GameIni, "Engine.HUD", "bShowHud"), "False");
             EXPECT_FALSE(fs::exists(s.ini.gameFile("UTInput.ini"))) << "a missing file is not created";
         }},
        {"save after a load without the file",
         [](SyncScene& s) {
             fs::remove(s.ini.gameFile("UTGame.ini"));
             loadFromGameFiles(s.values, s.stopped); // its integer fields are now empty
             s.ini.messages.clear();
             s.values.boxes["MotionBlur"] = false;
             return s.ini.gameFile("UTGame.ini");
         },
         save,
         [](SyncScene& s) {
             EXPECT_EQ(ReadIniStringOrEmpty(EngineIni, "SystemSettings", "MotionBlur"), "False")
                 << "rows of a missing file are never written, so their text does not matter";
             EXPECT_FALSE(fs::exists(s.ini.gameFile("UTGame.ini")));
         }},
        {"export", [](SyncScene& s) { return s.ini.tweakFile(); },
         [](SyncScene& s) { return exportToTweakFile(s.values, s.stopped); },
         [](SyncScene& s) {
             EXPECT_TRUE(fs::is_empty(s.ini.programFolder())) << "nothing created, no temporary file left";
         }},
        {"import",
         [](SyncScene& s) {
             loadFromGameFiles(s.values, s.stopped);
             const fs::path shared = s.ini.programFolder() / "shared.ini";
             writeBytes(shared,
                        "[General]\r\nVersion=v1.0\r\n[SystemSettings]\r\nResX=640\r\nMotionBlur=False\r\n");
             EXPECT_EQ(chooseTweakFile(shared.string()), TweakFileCheck::Accepted);
             return shared;
         },
         [](SyncScene& s) { return importTweakFile(s.values, s.stopped); },
         [](SyncScene& s) {
             EXPECT_EQ(s.values.text("ResX"), "1280") << "no value is changed";
             EXPECT_TRUE(s.values.checked("MotionBlur"));
         }},
        {"marking",
         [](SyncScene& s) {
             loadFromGameFiles(s.values, s.stopped);
             return s.ini.gameFile("UTGame.ini");
         },
         [&](SyncScene& s) {
             differs.clear();
             return markChanges(s.values,
                                [&](std::string_view box, bool d) { differs[std::string(box)] = d; });
         },
         [&](SyncScene& s) {
             int marked = 0;
             for (std::string_view box : markingWalkOrder()) {
                 const bool expected = findCatalogueRow(box)->target == GameIni && s.values.checked(box);
                 EXPECT_EQ(differs.find(box)->second, expected) << box << ": a missing file holds False";
                 marked += expected;
             }
             EXPECT_EQ(marked, 9) << "three of the twelve are unchecked in the sample";
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.operation);
        SyncScene scene;
        const fs::path missing = c.prepare(scene);
        fs::remove(missing);
        EXPECT_EQ(c.run(scene).fileWentMissing, c.inResult);
        EXPECT_EQ(scene.ini.messages, std::vector<std::string>{missingMessage(missing)});
        c.check(scene);
    }
}

TEST(SyncWalks, AMissingKeyGivesEachKindItsDefault) {
    const struct {
        const char* operation;
        std::function<void(SyncScene&)> run;
        bool (*reached)(const CatalogueRow&); // the rows whose keys are missing
    } cases[] = {
        {"load of a file without its [SystemSettings]",
         [](SyncScene& s) {
             writeBytes(s.ini.gameFile("UTEngine.ini"),
                        kSampleEngineIni.substr(0, kSampleEngineIni.find("[SystemSettings]")));
             loadFromGameFiles(s.values, s.stopped);
         },
         [](const CatalogueRow& row) { return row.section == "SystemSettings"; }},
        {"import of a file with only a version",
         [](SyncScene& s) {
             const fs::path bare = s.ini.programFolder() / "bare.ini";
             writeBytes(bare, "[General]\r\nVersion=x\r\n");
             ASSERT_EQ(chooseTweakFile(bare.string()), TweakFileCheck::Accepted);
             importTweakFile(s.values, s.stopped);
         },
         [](const CatalogueRow& row) { return row.kind != ValueKind::MovieText; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.operation);
        SyncScene scene;
        for (auto& [name, checked] : scene.values.boxes)
            checked = true;
        for (auto& [name, text] : scene.values.texts)
            text = "5";
        c.run(scene);
        for (const CatalogueRow& row : settingsCatalogue()) {
            if (!c.reached(row))
                continue;
            if (row.kind == ValueKind::Boolean)
                EXPECT_FALSE(scene.values.checked(row.control)) << row.control;
            else
                EXPECT_EQ(scene.values.text(row.control), row.kind == ValueKind::Integer ? "0" : "-1")
                    << row.control;
        }
        EXPECT_TRUE(scene.values.checked("bPlayMoviez")) << "the import does not touch the movie box";
        EXPECT_TRUE(scene.ini.messages.empty());
    }
}

TEST(SyncWalks, ABadBooleanStopsTheWalkAtItsRow) {
    const struct {
        const char* operation;
        std::function<WalkResult(SyncScene&)> run;
        const char* rowBefore; // a box the walk checks before it stops
        const char* boxAfter;  // a box the file holds as True, after the stop
    } cases[] = {
        {"load",
         [](SyncScene& s) {
             writeBytes(s.ini.gameFile("UTGame.ini"),
                        replaced(kSampleGameIni, "bShowDamage=True", "bShowDamage=yes"));
             return loadFromGameFiles(s.values, s.stopped);
         },
         "bShowHud", nullptr},
        {"import",
         [](SyncScene& s) {
             const fs::path shared = s.ini.programFolder() / "shared.ini";
             writeBytes(shared, "[General]\r\nVersion=v1.0\r\n[Engine.Engine]\r\nbUseSound=True\r\n"
                                "[SystemSettings]\r\nStaticDecals=yes\r\nMotionBlur=True\r\nResX=640\r\n");
             EXPECT_EQ(chooseTweakFile(shared.string()), TweakFileCheck::Accepted);
             return importTweakFile(s.values, s.stopped);
         },
         "bUseSound", "MotionBlur"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.operation);
        SyncScene scene;
        scene.values.texts["ResX"] = "999";
        EXPECT_EQ(c.run(scene).error, "'yes' is not a valid boolean value");
        EXPECT_TRUE(scene.values.checked(c.rowBefore)) << "the row before the stop is set";
        EXPECT_EQ(scene.values.text("ResX"), "999") << "a row after the stop keeps its value";
        if (c.boxAfter) {
            EXPECT_FALSE(scene.values.checked(c.boxAfter));
        }
    }
}

} // namespace
