// "Save to INI": every catalogue key written in the game files' own lines, every other
// byte left alone, and a failed save never reported as success.
#include "WindowFixture.h"

#include "inidigest/IniText.h"
#include "settings/Catalogue.h"

#include <QApplication>
#include <QKeyEvent>

#include <fstream>

namespace fs = std::filesystem;

namespace {

const QString kSaveQuestion = "confirm: Save this Settings? Existing Tweaks will be overwritten!";
const QString kSaved = "message: Settings were saved to Ini Files.";

class Save : public WindowTest {
protected:
    void SetUp() override { open(); }
    void save() { form().run(&TMainform::BtnSaveClick); }

    // The file with each catalogue key line of `target` replaced by `key=value` as the
    // save would normalise it, read from the window.
    std::string fileAsSaved(IniTarget target, std::string content) {
        for (const CatalogueRow& row : settingsCatalogue()) {
            if (row.target != target || row.kind == ValueKind::MovieText)
                continue;
            const std::string name(row.control);
            std::string value;
            if (row.kind == ValueKind::Boolean)
                value = box(name.c_str())->isChecked() ? "True" : "False";
            else
                value = field(name.c_str())->text().toStdString();
            content = initext::writeValue(content, row.section, row.key, value);
        }
        return content;
    }
};

TEST_F(Save, CancelWritesNothing) {
    box("MotionBlur")->click();
    dialogs.answers = {kConfirmCancel};
    save();
    EXPECT_EQ(dialogs.take(), QStringList{kSaveQuestion});
    EXPECT_EQ(readBytes(gameFile("UTEngine.ini")), kSampleEngineIni);
}

TEST_F(Save, AfterLoadOnlyNormalisesTheCatalogueKeys) {
    save();
    EXPECT_EQ(dialogs.take(), QStringList({kSaveQuestion, kSaved}));
    std::string engine = kSampleEngineIni;
    for (auto [from, to] : {std::pair{"bUseTextureStreaming=1", "bUseTextureStreaming=True"},
                            {"bDisablePhysXHardwareSupport=TRUE", "bDisablePhysXHardwareSupport=True"},
                            {"ShadowFilterRadius=0x20", "ShadowFilterRadius=32"},
                            {"DetailMode=016", "DetailMode=16"}})
        engine.replace(engine.find(from), std::string(from).size(), to);
    EXPECT_EQ(readBytes(gameFile("UTEngine.ini")), engine) << "movies, comments, blank lines and order kept";
    EXPECT_EQ(readBytes(gameFile("UTGame.ini")), kSampleGameIni);
    EXPECT_EQ(readBytes(gameFile("UTInput.ini")), kSampleInputIni);
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
    EXPECT_EQ(readBytes(gameFile("UTGame.ini")), fileAsSaved(GameIni, kSampleGameIni));
    EXPECT_NE(readBytes(gameFile("UTGame.ini")).find("Bob=0.5e1\r\n"), std::string::npos);
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
    const std::string saved = readBytes(gameFile("UTEngine.ini"));
    EXPECT_EQ(saved, fileAsSaved(EngineIni, engine));
    const std::string added = saved.substr(saved.find("[SystemSettings]"));
    EXPECT_TRUE(added.starts_with("[SystemSettings]\r\nStaticDecals=False\r\n")) << added;
    EXPECT_NE(added.find("MaxAnisotropy=0\r\n"), std::string::npos);
    EXPECT_NE(added.find("ScreenPercentage=-1\r\n"), std::string::npos);
    EXPECT_TRUE(saved.substr(0, saved.find("[SystemSettings]")).ends_with("StartupMovies=UT_intro\r\n\r\n"))
        << "appended at the end of the file, after the last section";
}

TEST_F(Save, MovieListIsClearedOnlyForAClearedBox) {
    save();
    EXPECT_NE(readBytes(gameFile("UTEngine.ini")).find("StartupMovies=UE3_logo\r\nStartupMovies=UT_intro"),
              std::string::npos)
        << "a checked box keeps the game's movies";
    box("bPlayMoviez")->setChecked(false);
    save();
    EXPECT_NE(readBytes(gameFile("UTEngine.ini")).find("StartupMovies=\r\nStartupMovies=UT_intro"),
              std::string::npos)
        << "only the first line is emptied";
}

TEST_F(Save, MissingInputFileIsReportedAndTheRestWritten) {
    fs::remove(gameFile("UTInput.ini"));
    box("MotionBlur")->click();
    box("bShowHud")->click();
    save();
    EXPECT_EQ(dialogs.take(),
              QStringList({kSaveQuestion, QString::fromStdString(missingMessage("UTInput.ini")), kSaved}));
    EXPECT_NE(readBytes(gameFile("UTEngine.ini")).find("MotionBlur=False"), std::string::npos);
    EXPECT_NE(readBytes(gameFile("UTGame.ini")).find("bShowHud=False"), std::string::npos);
    EXPECT_FALSE(fs::exists(gameFile("UTInput.ini"))) << "a save never creates a game file";
}

TEST_F(Save, IntegerFieldThatIsNoIntegerWritesNothing) {
    box("MotionBlur")->click();
    field("SkeletalMeshLODBias")->setText("abc");
    save();
    EXPECT_EQ(dialogs.take(), QStringList({kSaveQuestion, "error: 'abc' is not a valid integer value."}));
    EXPECT_EQ(readBytes(gameFile("UTEngine.ini")), kSampleEngineIni);
    EXPECT_EQ(readBytes(gameFile("UTGame.ini")), kSampleGameIni);
}

TEST_F(Save, EmptyIntegerFieldOfAMissingFileDoesNotBlockTheOthers) {
    fs::remove(gameFile("UTGame.ini"));
    form().LoadfromIni(); // its fields are now empty
    dialogs.take();
    box("MotionBlur")->click();
    save();
    EXPECT_EQ(dialogs.take(),
              QStringList({kSaveQuestion, QString::fromStdString(missingMessage("UTGame.ini")), kSaved}));
    EXPECT_NE(readBytes(gameFile("UTEngine.ini")).find("MotionBlur=False"), std::string::npos);
}

TEST_F(Save, ReadOnlyGameFileStopsTheSaveWithoutSuccessMessage) {
    makeReadOnly(gameFile("UTGame.ini"));
    box("MotionBlur")->click();
    box("bShowHud")->click();
    field("DoubleClickTime")->setText("0.3");
    save();
    EXPECT_EQ(
        dialogs.take(),
        QStringList({kSaveQuestion, "error: Unable to write to " +
                                        QString::fromStdString(gameFile("UTGame.ini").string()) + "."}));
    EXPECT_NE(readBytes(gameFile("UTEngine.ini")).find("MotionBlur=False"), std::string::npos)
        << "keys before the failure stay written";
    EXPECT_EQ(readBytes(gameFile("UTGame.ini")), kSampleGameIni);
    EXPECT_EQ(readBytes(gameFile("UTInput.ini")), kSampleInputIni) << "the save stopped at the failure";
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

// A load stops at a value that is no boolean; every row from there on keeps the window's
// built-in value. Neither a save nor an export may write those over the player's own.
TEST_F(Save, AfterALoadThatStoppedSaveAndExportRefuseUntilEveryControlIsSetAgain) {
    std::string engine = replaced(kSampleEngineIni, "ResX=1280", "ResX=2560");
    engine = replaced(replaced(engine, "ResY=1024", "ResY=1440"), "MaxAnisotropy=16", "MaxAnisotropy=4");
    writeBytes(gameFile("UTEngine.ini"), engine);
    const std::string game = replaced(kSampleGameIni, "bShowDamage=True", "bShowDamage=yes");
    writeBytes(gameFile("UTGame.ini"), game);
    const QString stopped = "error: 'yes' is not a valid boolean value.";
    for (const char* setAll : {"load", "preset"}) {
        SCOPED_TRACE(setAll);
        writeBytes(gameFile("UTEngine.ini"), engine);
        writeBytes(gameFile("UTGame.ini"), game);
        open();
        const std::string tweak = readBytes(tweakFile());
        save();
        form().run(&TMainform::BtnExportClick);
        EXPECT_EQ(dialogs.take(), QStringList({stopped, stopped}))
            << "refused, with the reason, asking nothing";
        EXPECT_EQ(readBytes(gameFile("UTEngine.ini")), engine);
        EXPECT_EQ(readBytes(gameFile("UTGame.ini")), game);
        EXPECT_EQ(readBytes(tweakFile()), tweak);

        // The player mends the file, then loads again or picks a preset.
        writeBytes(gameFile("UTGame.ini"), kSampleGameIni);
        if (std::string(setAll) == "load")
            form().LoadfromIni();
        else
            form().PreSet1();
        save();
        EXPECT_EQ(dialogs.take(), QStringList({kSaveQuestion, kSaved}));
        EXPECT_EQ(readBytes(gameFile("UTEngine.ini")), fileAsSaved(EngineIni, engine));
    }
}

} // namespace
