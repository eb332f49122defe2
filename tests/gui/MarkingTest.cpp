// Change marking: a check box is bold exactly while it differs from its game file.
#include "WindowFixture.h"

namespace {

class Marking : public WindowTest {
protected:
    void SetUp() override { open(); }
};

TEST_F(Marking, ClickingTwiceMarksAndUnmarks) {
    box("bShowHud")->click();
    EXPECT_TRUE(bold("bShowHud"));
    QFont font = box("bShowHud")->font();
    EXPECT_FALSE(font.italic() || font.underline() || font.strikeOut()) << "exactly bold";
    box("bShowHud")->click();
    EXPECT_FALSE(bold("bShowHud"));
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(Marking, CheckedBoxWhoseKeyIsAbsentIsBold) {
    std::string game = kSampleGameIni;
    game.erase(game.find("bShowAmmo=True\r\n"), 16);
    writeBytes(gameFile("UTGame.ini"), game);
    form().CycleAllChanges();
    EXPECT_TRUE(box("bShowAmmo")->isChecked());
    EXPECT_TRUE(bold("bShowAmmo"));
    EXPECT_FALSE(bold("bShowDoll"));
}

TEST_F(Marking, SaveAndLoadKeepMarksOfBoxesTheyDoNotChange) {
    box("Bloom")->click();
    form().run(&TMainform::BtnSaveClick);
    EXPECT_TRUE(bold("Bloom")) << "saved, but not re-evaluated";
    form().run(&TMainform::BtnLoadIniClick);
    EXPECT_TRUE(bold("Bloom")) << "the load changes no state, so raises no click";
    form().CycleAllChanges();
    EXPECT_FALSE(bold("Bloom"));
}

TEST_F(Marking, ViewAccelerationIsComparedWithTheGameFile) {
    box("bViewAccelerationEnabled")->click();
    EXPECT_TRUE(bold("bViewAccelerationEnabled"));
    std::string game = kSampleGameIni;
    game = replaced(game, "bViewAccelerationEnabled=False", "bViewAccelerationEnabled=True");
    writeBytes(gameFile("UTGame.ini"), game);
    form().CycleAllChanges();
    EXPECT_FALSE(bold("bViewAccelerationEnabled"));
}

TEST_F(Marking, BadValueStopsTheWalkAndShowsTheError) {
    box("bShowDamage")->click(); // bold; the walk reaches it last
    std::string engine = kSampleEngineIni;
    engine = replaced(engine, "Trilinear=True", "Trilinear=maybe");
    writeBytes(gameFile("UTEngine.ini"), engine);
    form().run(&TMainform::cbPresetsChange); // answered OK with no preset picked: only the walk runs
    EXPECT_EQ(dialogs.take().last(), "error: 'maybe' is not a valid boolean value.");
    EXPECT_TRUE(bold("bShowDamage")) << "boxes after the bad one were not evaluated";
}

TEST_F(Marking, MovieBoxAndEditFieldsNeverChangeStyle) {
    box("bPlayMoviez")->setChecked(false);
    form().CycleAllChanges();
    EXPECT_FALSE(bold("bPlayMoviez"));
    EXPECT_FALSE(field("ResX")->font().bold());
}

} // namespace
