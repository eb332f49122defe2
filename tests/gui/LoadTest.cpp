// "Load Settings from my Inis": the confirmation, the values shown, bad values, and which
// check boxes get re-marked on the way.
#include "WindowFixture.h"

namespace {

class Load : public OpenWindowTest {
protected:
    void load() { form().run(&TMainform::BtnLoadIniClick); }
};

TEST_F(Load, CancelChangesNothing) {
    box("MotionBlur")->click();
    field("ResX")->setText("640");
    dialogs.answers = {kConfirmCancel};
    load();
    EXPECT_EQ(dialogs.shown, QStringList{"confirm: Load settings from INIs? Unsaved settings will be lost!"});
    EXPECT_EQ(dialogs.captions, QStringList{"Information"});
    EXPECT_FALSE(box("MotionBlur")->isChecked());
    EXPECT_TRUE(bold("MotionBlur"));
    EXPECT_EQ(field("ResX")->text(), "640");
}

TEST_F(Load, BringsBackTheFilesValuesAndClearsTheirMarks) {
    box("MotionBlur")->click();
    ASSERT_TRUE(bold("MotionBlur"));
    field("Bob")->setText("7");
    load();
    EXPECT_EQ(dialogs.take(), QStringList({"confirm: Load settings from INIs? Unsaved settings will be lost!",
                                           "message: Settings were loaded from Ini Files."}));
    EXPECT_TRUE(box("MotionBlur")->isChecked());
    EXPECT_FALSE(bold("MotionBlur"));
    EXPECT_EQ(field("Bob")->text(), "0.010");
}

TEST_F(Load, ABoxAlreadyEqualToTheFileKeepsItsMark) {
    box("MotionBlur")->click(); // now False and bold
    std::string engine = kSampleEngineIni;
    engine = replaced(engine, "MotionBlur=True", "MotionBlur=False");
    writeBytes(gameFile("UTEngine.ini"), engine); // another program changed the file
    load();
    EXPECT_TRUE(bold("MotionBlur")) << "the load set no new state, so nothing re-marked it";
}

TEST_F(Load, ASecondLoadRaisesNoClick) {
    int clicks = 0;
    for (QCheckBox* each : form().findChildren<QCheckBox*>())
        QObject::connect(each, &QCheckBox::toggled, [&clicks] { ++clicks; });
    form().LoadfromIni();
    EXPECT_EQ(clicks, 0);
    box("MotionBlur")->setChecked(false);
    clicks = 0;
    form().LoadfromIni();
    EXPECT_EQ(clicks, 1) << "only the box whose state the load changes";
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

// No completion message follows the error, and rows after the bad one keep what the
// window showed: at start-up, the layout's values. The window still opens.
class LoadStop : public WindowTest {};

TEST_F(LoadStop, ABadBooleanStopsTheLoadAtItsRow) {
    const struct {
        const char* when;
        const char* goodLine;
        const char* badLine;
        QStringList shown;
    } cases[] = {{"at start-up",
                  "DynamicLights=True",
                  "DynamicLights=yes",
                  {"error: 'yes' is not a valid boolean value."}},
                 {"on the load button",
                  "Bloom=True",
                  "Bloom=",
                  {"confirm: Load settings from INIs? Unsaved settings will be lost!",
                   "error: '' is not a valid boolean value."}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.when);
        writeSampleGameFiles();
        const bool atStartUp = c.shown.size() == 1;
        if (!atStartUp)
            open();
        writeBytes(gameFile("UTEngine.ini"),
                   replaced(replaced(kSampleEngineIni, c.goodLine, c.badLine), "ResX=1280", "ResX=1920"));
        std::unique_ptr<TMainform> started;
        if (atStartUp)
            started = std::make_unique<TMainform>(dialogs, gameCheck());
        else
            form().run(&TMainform::BtnLoadIniClick);
        TMainform& window = atStartUp ? *started : form();
        EXPECT_EQ(dialogs.take(), c.shown);
        EXPECT_EQ(window.control<QLineEdit>("ResX")->text(), "1280") << "a row after the bad one";
    }
}

TEST_F(Load, MovieBoxFollowsTheFirstStartupMoviesLine) {
    std::string engine = kSampleEngineIni;
    engine = replaced(engine, "StartupMovies=UE3_logo", "StartupMovies=");
    writeBytes(gameFile("UTEngine.ini"), engine);
    load();
    EXPECT_FALSE(box("bPlayMoviez")->isChecked()) << "an empty first line means no movies";
}

} // namespace
