// "Save to INI": every catalogue key written in the game files' own lines, every other
// byte left alone, and a failed save never reported as success.
#include "RealInput.h"
#include "WindowFixture.h"

#include "inidigest/IniDigest.h"
#include "inidigest/IniText.h"
#include "settings/Catalogue.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QTest>

#include <fstream>

namespace {

const QString kSaveQuestion = "confirm: Save this Settings? Existing Tweaks will be overwritten!";
const QString kSaved = "message: Settings were saved to Ini Files.";

class Save : public OpenWindowTest {
protected:
    void save() { form().run(&TMainform::BtnSaveClick); }
};

TEST_F(Save, CancelWritesNothing) {
    box("MotionBlur")->click();
    dialogs.answers = {kConfirmCancel};
    save();
    EXPECT_EQ(dialogs.take(), QStringList{kSaveQuestion});
    EXPECT_EQ(readBytes(gameFile("UTEngine.ini")), kSampleEngineIni);
}

TEST_F(Save, WritesTheWindowsValuesKeyByKey) {
    box("MotionBlur")->click();
    box("bShowPowerups")->click();
    field("ResX")->setText(" +0x780");
    field("Bob")->setText("0.5e1");
    field("DoubleClickTime")->setText("");
    save();
    const std::string engine = readBytes(gameFile("UTEngine.ini"));
    EXPECT_NE(engine.find("MotionBlur=False\r\n"), std::string::npos);
    EXPECT_NE(engine.find("ResX=1920\r\n"), std::string::npos);
    EXPECT_EQ(readBytes(gameFile("UTGame.ini")),
              replaced(replaced(kSampleGameIni, "bShowPowerups=False", "bShowPowerups=True"), "Bob=0.010",
                       "Bob=0.5e1"));
    EXPECT_NE(readBytes(gameFile("UTInput.ini")).find("DoubleClickTime=\r\n"), std::string::npos);
    EXPECT_TRUE(bold("MotionBlur")) << "a save does not re-evaluate marks";
}

TEST_F(Save, MissingSectionIsAddedAtTheEndWithTheLoadedDefaults) {
    std::string engine = kSampleEngineIni;
    engine.erase(engine.find("[SystemSettings]"));
    writeBytes(gameFile("UTEngine.ini"), engine);
    form().LoadfromIni();
    save();
    EXPECT_EQ(dialogs.take(), QStringList({kSaveQuestion, kSaved}));
    const std::size_t from = kEngineKeysWithDefaults.find("[SystemSettings]");
    const std::string defaults =
        kEngineKeysWithDefaults.substr(from, kEngineKeysWithDefaults.find("[Engine.Client]") - from);
    const std::string saved = asSavedSampleEngine(kSampleEngineIni);
    EXPECT_EQ(readBytes(gameFile("UTEngine.ini")), saved.substr(0, saved.find("[SystemSettings]")) + defaults)
        << "appended at the end of the file, after the last section";
}

TEST_F(Save, IntegerFieldThatIsNoIntegerWritesNothing) {
    box("MotionBlur")->click();
    field("SkeletalMeshLODBias")->setText("abc");
    save();
    EXPECT_EQ(dialogs.take(), QStringList({kSaveQuestion, "error: 'abc' is not a valid integer value."}));
    EXPECT_EQ(readBytes(gameFile("UTEngine.ini")), kSampleEngineIni);
    EXPECT_EQ(readBytes(gameFile("UTGame.ini")), kSampleGameIni);
}

TEST_F(Save, ReadOnlyGameFileStopsTheSaveBeforeAnyFileIsWritten) {
    makeReadOnly(gameFile("UTGame.ini"));
    box("MotionBlur")->click();
    box("bShowHud")->click();
    field("DoubleClickTime")->setText("0.3");
    save();
    EXPECT_EQ(
        dialogs.take(),
        QStringList({kSaveQuestion, "error: Unable to write to " +
                                        QString::fromStdString(gameFile("UTGame.ini").string()) + "."}));
    EXPECT_EQ(readBytes(gameFile("UTEngine.ini")), kSampleEngineIni) << "refused before the first write";
    EXPECT_EQ(readBytes(gameFile("UTGame.ini")), kSampleGameIni);
    EXPECT_EQ(readBytes(gameFile("UTInput.ini")), kSampleInputIni);
}

// Another program (the game, an editor) holds UTGame.ini open. Windows will not replace
// a file that is open without delete sharing, so the save stops with the write error and
// the file stays whole; elsewhere the file is replaced and the reader keeps the old one.
TEST_F(Save, GameFileHeldOpenByAnotherProgram) {
    std::ifstream holder(gameFile("UTGame.ini"), std::ios::binary);
    ASSERT_TRUE(holder);
    box("bShowHud")->click();
    save();
#ifdef _WIN32
    EXPECT_EQ(
        dialogs.take(),
        QStringList({kSaveQuestion, "error: Unable to write to " +
                                        QString::fromStdString(gameFile("UTGame.ini").string()) + "."}));
    EXPECT_EQ(readBytes(gameFile("UTGame.ini")), kSampleGameIni);
#else
    EXPECT_EQ(dialogs.take(), QStringList({kSaveQuestion, "message: Settings were saved to Ini Files."}));
    EXPECT_NE(readBytes(gameFile("UTGame.ini")).find("bShowHud=False"), std::string::npos);
#endif
}

TEST_F(Save, EnterInAFieldSavesWithoutCheckingTheField) {
    form().show();
    form().activateWindow();
    QLineEdit* resx = field("ResX");
    resx->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    resx->setText("xyz");
    dialogs.take();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(resx, &enter);
    EXPECT_EQ(dialogs.take(), QStringList({kSaveQuestion, "error: 'xyz' is not a valid integer value."}))
        << "the field is not validated before the save";
    EXPECT_EQ(QApplication::focusWidget(), resx) << "the focus stays in the field";
    EXPECT_EQ(resx->text(), "xyz");
}

// A load that stops at a value that is no boolean leaves every row from there on with a
// value no game file gave it. A save writes everything else, leaves those rows as the
// files have them and says so; whatever the player sets is written. An export writes
// nothing until every row is known.
class SaveAfterStoppedLoad : public Save {
protected:
    void SetUp() override {
        writeBytes(gameFile("UTGame.ini"), replaced(kSampleGameIni, "bShowDamage=True", "bShowDamage=yes"));
        engine = replaced(replaced(kSampleEngineIni, "ResX=1280", "ResX=2560"), "ResY=1024", "ResY=1600");
        writeBytes(gameFile("UTEngine.ini"), engine);
        open();
    }
    std::string value(IniTarget file, const char* section, const char* key) {
        return ReadIniStringOrEmpty(file, section, key);
    }
    static QString stopLine(const QString& file, const QString& section, const QString& line) {
        return "The last load stopped in " + file + ", section [" + section + "], at " + line +
               ": 'yes' is not a valid boolean value.";
    }
    static QString notice(int count, const QString& mend) {
        return "message: " + stopLine("UTGame.ini", "UTGame.UTHUD", "bShowDamage=yes") + "\r\n" +
               QString::number(count) +
               " settings were never loaded, so the save left them as the game files have them.\r\n" + mend +
               " to save them too.";
    }
    std::string engine;
};

TEST_F(SaveAfterStoppedLoad, SaveWritesWhatWasLoadedOrSetAndCountsTheRest) {
    ASSERT_TRUE(showActive(form()));
    box("MotionBlur")->click();     // loaded, then changed
    field("ResY")->setText("1440"); // never loaded, set from code: not the player's
    tabInto(field("MaxAnisotropy"));
    typeText("8"); // never loaded, typed by the player
    press(Qt::Key_Tab);
    save();
    EXPECT_EQ(dialogs.take(),
              QStringList({kSaveQuestion, kSaved, notice(36, "Mend that line, then load again")}));
    EXPECT_EQ(value(EngineIni, "SystemSettings", "MotionBlur"), "False");
    EXPECT_EQ(value(EngineIni, "Engine.Engine", "ShadowFilterRadius"), "0x20") << "never loaded: as it was";
    EXPECT_EQ(value(EngineIni, "SystemSettings", "ResX"), "2560");
    EXPECT_EQ(value(EngineIni, "SystemSettings", "ResY"), "1600");
    EXPECT_EQ(value(EngineIni, "SystemSettings", "MaxAnisotropy"),
              field("MaxAnisotropy")->text().toStdString());
    EXPECT_EQ(value(GameIni, "UTGame.UTHUD", "bShowDamage"), "yes");

    // The player sets the bad box: it cannot be marked, but it is written, which mends the file.
    box("bShowDamage")->click();
    EXPECT_EQ(dialogs.take(), QStringList{"error: 'yes' is not a valid boolean value."});
    const std::string tweaks = readBytes(tweakFile());
    form().run(&TMainform::BtnExportClick);
    EXPECT_EQ(dialogs.take(),
              QStringList{"message: Knobwerk.ini was not written: 35 settings were never loaded, "
                          "and a tweak file must hold every setting.\r\n" +
                          stopLine("UTGame.ini", "UTGame.UTHUD", "bShowDamage=yes") +
                          "\r\nSave to write the value set here into that line, then load "
                          "again and export."});
    EXPECT_EQ(readBytes(tweakFile()), tweaks);
    save();
    EXPECT_EQ(dialogs.take(), QStringList({kSaveQuestion, kSaved, notice(35, "Load again")}));
    EXPECT_EQ(value(GameIni, "UTGame.UTHUD", "bShowDamage"),
              box("bShowDamage")->isChecked() ? "True" : "False");
}

TEST_F(SaveAfterStoppedLoad, AFieldTheWindowRefusedOrThatWasLeftAsItWasIsNotThePlayers) {
    ASSERT_TRUE(showActive(form()));
    tabInto(field("ResX"));
    typeText("abc");
    press(Qt::Key_Tab);
    tabInto(field("ResY"));
    press(Qt::Key_End);
    typeText("5");
    press(Qt::Key_Backspace);
    press(Qt::Key_Tab);
    save();
    EXPECT_EQ(dialogs.take(), QStringList({"message: Not a valid integer value!", kSaveQuestion, kSaved,
                                           notice(37, "Mend that line, then load again")}));
    EXPECT_EQ(value(EngineIni, "SystemSettings", "ResX"), "2560") << "refused: as the file has it";
    EXPECT_EQ(value(EngineIni, "SystemSettings", "ResY"), "1600") << "left as it was entered";
}

TEST_F(SaveAfterStoppedLoad, APresetEndsAsEveryPresetDoesAndShowsTheErrorOnce) {
    auto* presets = form().control<QComboBox>(QStringLiteral("cbPresets"));
    presets->setCurrentIndex(1);
    form().run(&TMainform::cbPresetsChange);
    EXPECT_EQ(dialogs.take(), QStringList({"confirm: Load presets?\r\nAll unsaved changes will be lost!",
                                           "error: 'yes' is not a valid boolean value."}));
    EXPECT_EQ(presets->currentText(), "Use presets");
    for (std::string_view name : markingWalkOrder()) {
        const CatalogueRow* row = findCatalogueRow(name);
        if (name == "bShowDamage")
            continue; // its file value does not convert: it keeps its mark
        const bool stored = ReadIniBool(row->target, std::string(row->section), std::string(row->key));
        EXPECT_EQ(bold(std::string(name).c_str()), box(std::string(name).c_str())->isChecked() != stored)
            << name;
    }
}

TEST_F(SaveAfterStoppedLoad, OnePresetSettlesEveryRowAlthoughTheBadBoxCannotBeMarked) {
    // The preset whose value for the bad box differs from what the box shows.
    const bool shown = box("bShowDamage")->isChecked();
    const auto preset = shown ? &TMainform::PreSet1 : &TMainform::PreSet0;
    form().run(preset);
    EXPECT_EQ(dialogs.take(), QStringList{"error: 'yes' is not a valid boolean value."});
    EXPECT_EQ(field("ResX")->text(), shown ? "1024" : "1280") << "the preset went on past the bad box";
    save();
    EXPECT_EQ(dialogs.take(), QStringList({kSaveQuestion, kSaved}));
    EXPECT_EQ(value(GameIni, "UTGame.UTHUD", "bShowDamage"), shown ? "False" : "True");
    EXPECT_EQ(value(EngineIni, "SystemSettings", "ResX"), shown ? "1024" : "1280");
}

TEST_F(SaveAfterStoppedLoad, AnImportBeforeTheMovieRowLeavesOnlyTheMovieKeyUnwritten) {
    // Stopped at the second row: the hidden movie box was never loaded, and an import
    // does not set it.
    writeBytes(gameFile("UTGame.ini"), kSampleGameIni);
    writeBytes(gameFile("UTEngine.ini"), replaced(engine, "bUseSound=True", "bUseSound=yes"));
    open();
    writeBytes(programFolder() / "shared.ini",
               "[General]\r\nVersion=v1.0\r\n[Engine.Engine]\r\nbUseSound=True\r\n");
    dialogs.fileToOpen = QString::fromStdString((programFolder() / "shared.ini").string());
    form().run(&TMainform::BtnImportClick);
    dialogs.take();
    save();
    EXPECT_EQ(dialogs.take(),
              QStringList({kSaveQuestion, kSaved,
                           "message: " + stopLine("UTEngine.ini", "Engine.Engine", "bUseSound=yes") +
                               "\r\n1 setting was never loaded, so the save left it as the game files have "
                               "it.\r\nLoad again to save it too."}));
    EXPECT_EQ(value(EngineIni, "Engine.Engine", "bUseSound"), "True");
    EXPECT_EQ(value(EngineIni, "SystemSettings", "ResX"), "0") << "the imported value";
    EXPECT_NE(readBytes(gameFile("UTEngine.ini")).find("StartupMovies=UE3_logo"), std::string::npos);
}

} // namespace
