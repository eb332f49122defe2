// The preset combo box: confirmation, the values a preset puts into the window, what a
// save then writes, and the change marks afterwards.
#include "IniValue.h"
#include "RealInput.h"
#include "WindowFixture.h"

#include "settings/Catalogue.h"
#include "ui/TextCodec.h"

#include <QAbstractItemView>
#include <QComboBox>

#include <map>

namespace {

const QString kAskPresets = QStringLiteral("confirm: Load presets?\r\nAll unsaved changes will be lost!");

} // namespace

class PresetsTest : public WindowTest {
protected:
    std::string text(const char* name) const { return field(name)->text().toStdString(); }

    QComboBox* presets() { return form().control<QComboBox>(QStringLiteral("cbPresets")); }

    // The window shown and active, so that picks and typing come as a user's input.
    void openShown() {
        open();
        ASSERT_TRUE(showActive(form()));
    }

    // A pick from the drop-down list with the mouse.
    void pick(int index) {
        tabInto(presets());
        presets()->showPopup();
        QAbstractItemView* list = presets()->view();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
        const QPoint item = list->visualRect(list->model()->index(index, 0)).center();
        QTest::mouseMove(list->viewport(), item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, item);
        QCoreApplication::processEvents();
        ASSERT_FALSE(list->window()->isVisible()) << "the list closes with the pick";
    }

    // A pick with the keyboard: the list opened with F4, walked from its top, taken with Enter.
    void pickWithKeys(int index) {
        tabInto(presets());
        press(Qt::Key_F4);
        press(Qt::Key_Home);
        for (int row = 0; row < index; ++row)
            press(Qt::Key_Down);
        press(Qt::Key_Return);
    }

    // Changes bShowHud's stored value behind the window's back: only a full marking walk
    // can then show the box in bold, since no preset changes its state.
    void storeShowHudOff() {
        std::string game = kSampleGameIni;
        game = replaced(game, "bShowHud=True", "bShowHud=False");
        writeBytes(gameFile("UTGame.ini"), game);
    }
};

TEST_F(PresetsTest, PickingPresetOneFillsItsValuesAndResetsTheBox) {
    openShown();
    ASSERT_EQ(presets()->itemText(1).toStdString(), "Fewest effects, maximum perfo");
    ASSERT_EQ(text("ResX"), "1280");

    pick(1);

    EXPECT_EQ(shown(dialogs.take()), shown(QStringList{kAskPresets}));
    EXPECT_EQ(shown(dialogs.captions), "Information");
    EXPECT_EQ(text("ResX"), "1024");
    EXPECT_EQ(text("ResY"), "768");
    EXPECT_EQ(text("MaxAnisotropy"), "0");
    EXPECT_EQ(text("DetailMode"), "0");
    EXPECT_EQ(text("DepthBias"), "1.000000");
    EXPECT_EQ(text("DecalLifeSpan"), "10.0");
    EXPECT_FALSE(box("MotionBlur")->isChecked());
    EXPECT_TRUE(box("DropParticleDistortion")->isChecked());

    // The marks follow: changed boxes differ from the game file, untouched ones do not.
    EXPECT_TRUE(bold("MotionBlur"));
    EXPECT_TRUE(bold("DropParticleDistortion"));
    EXPECT_FALSE(bold("bShowHud"));

    // Back to the invitation with nothing selected, so the same pick is a change again.
    EXPECT_EQ(presets()->currentText().toStdString(), "Use presets");
    EXPECT_EQ(presets()->currentIndex(), -1);
    field("ResX")->setText(QStringLiteral("640"));
    pick(1);
    EXPECT_EQ(shown(dialogs.take()), shown(QStringList{kAskPresets}));
    EXPECT_EQ(text("ResX"), "1024");
    EXPECT_EQ(presets()->currentText().toStdString(), "Use presets");
}

TEST_F(PresetsTest, PresetZeroUsesItsOwnFloatForms) {
    openShown();
    pickWithKeys(0);
    EXPECT_EQ(shown(dialogs.take()), shown(QStringList{kAskPresets}));
    EXPECT_EQ(text("MinSmoothedFrameRate"), "0.000000");
    EXPECT_EQ(text("DepthBias"), "0.012");
    EXPECT_EQ(text("MaxAnisotropy"), "16");
    EXPECT_EQ(text("DetailMode"), "4");
}

TEST_F(PresetsTest, EveryPresetTurnsTheMoviesOn) {
    // A game file with an empty movie list: loading clears the hidden movie box.
    std::string engine = kSampleEngineIni;
    engine = replaced(engine, "StartupMovies=UE3_logo\r\nStartupMovies=UT_intro", "StartupMovies=");
    writeBytes(gameFile("UTEngine.ini"), engine);
    openShown();
    for (int index = 0; index < 4; ++index) {
        form().run(&TMainform::BtnLoadIniClick);
        ASSERT_FALSE(box("bPlayMoviez")->isChecked()) << "after loading, before preset " << index;
        pick(index);
        EXPECT_TRUE(box("bPlayMoviez")->isChecked()) << "preset " << index;
    }
}

TEST_F(PresetsTest, SaveAfterPresetWritesTheShownTexts) {
    openShown();
    pick(1);
    dialogs.take();
    form().run(&TMainform::BtnSaveClick);
    EXPECT_EQ(shown(dialogs.take()),
              shown((QStringList{
                  QStringLiteral("confirm: Save this Settings? Existing Tweaks will be overwritten!"),
                  QStringLiteral("message: Settings were saved to Ini Files.")})));

    const std::string engine = readBytes(gameFile("UTEngine.ini"));
    const std::string game = readBytes(gameFile("UTGame.ini"));
    const struct {
        const std::string& file;
        const char* section;
        const char* key;
        const char* value;
    } written[] = {{engine, "SystemSettings", "ResX", "1024"},
                   {engine, "SystemSettings", "ResY", "768"},
                   {engine, "SystemSettings", "MaxAnisotropy", "0"},
                   {engine, "SystemSettings", "DetailMode", "0"},
                   {engine, "SystemSettings", "MotionBlur", "False"},
                   {engine, "Engine.Engine", "ShadowFilterRadius", "0"},
                   {engine, "Engine.Engine", "DepthBias", "1.000000"},
                   {engine, "Engine.GameEngine", "MinSmoothedFrameRate", "30.000000"},
                   {game, "Engine.DecalManager", "DecalLifeSpan", "10.0"},
                   {game, "UTGame.UTPawn", "Bob", "0.010"}};
    for (const auto& w : written)
        EXPECT_EQ(iniValue(w.file, w.section, w.key), w.value) << w.key;
    // Movies stay on: the game's list is kept as it was.
    EXPECT_NE(engine.find("StartupMovies=UE3_logo\r\nStartupMovies=UT_intro\r\n"), std::string::npos);

    // Every box now matches its file again once the marks are evaluated.
    form().CycleAllChanges();
    for (std::string_view name : markingWalkOrder())
        EXPECT_FALSE(bold(std::string(name).c_str())) << name;
}

TEST_F(PresetsTest, CancelKeepsEverythingAndRunsNoWalk) {
    openShown();
    const auto before = windowValues();
    storeShowHudOff();
    dialogs.answers = {kConfirmCancel};

    pick(1);

    EXPECT_EQ(shown(dialogs.take()), shown(QStringList{kAskPresets}));
    EXPECT_EQ(windowValues(), before);
    EXPECT_EQ(presets()->currentText().toStdString(), "Fewest effects, maximum perfo");
    EXPECT_FALSE(bold("bShowHud")) << "a cancelled preset must not re-evaluate the marks";
}

TEST_F(PresetsTest, TypingAsksAtEachChangeAndWalksWithoutApplying) {
    openShown();
    const auto before = windowValues();
    storeShowHudOff();
    tabInto(presets()); // all of "Use presets" selected

    typeText(QStringLiteral("q"));
    EXPECT_EQ(shown(dialogs.take()), shown(QStringList{kAskPresets}));
    EXPECT_EQ(presets()->currentText().toStdString(), "q");
    EXPECT_TRUE(bold("bShowHud")) << "OK with no item selected still runs the marking walk";

    dialogs.answers = {kConfirmCancel};
    typeText(QStringLiteral("w"));
    EXPECT_EQ(shown(dialogs.take()), shown(QStringList{kAskPresets}));
    EXPECT_EQ(presets()->currentText().toStdString(), "qw");

    EXPECT_EQ(windowValues(), before);
}

TEST_F(PresetsTest, TypedTextStaysAsTypedAndLeavingTheBoxPicksNothing) {
    openShown();
    const auto before = windowValues();
    tabInto(presets());
    typeText(QStringLiteral("j"));
    EXPECT_EQ(shown(dialogs.take()), shown(QStringList{kAskPresets}));
    EXPECT_EQ(presets()->currentText().toStdString(), "j") << "nothing completes the typed text";

    // A whole item typed, every change cancelled: leaving the box afterwards is no pick.
    const QString item = presets()->itemText(2);
    press(Qt::Key_A, Qt::ControlModifier); // all of it selected, to be typed over
    dialogs.answers.assign(static_cast<std::size_t>(item.size()), kConfirmCancel);
    typeText(item);
    EXPECT_EQ(dialogs.take().size(), item.size());
    press(Qt::Key_Tab);
    EXPECT_EQ(shown(dialogs.take()), "");
    EXPECT_EQ(presets()->currentText(), item);
    EXPECT_EQ(windowValues(), before);
}

TEST_F(PresetsTest, ClosingOrDestroyingTheWindowRunsNoHandler) {
    for (const bool destroy : {false, true}) {
        SCOPED_TRACE(destroy ? "destroyed while shown" : "closed");
        auto window = std::make_unique<TMainform>(dialogs, gameCheck());
        ASSERT_TRUE(showActive(*window));
        tabInto(window->control<QComboBox>(QStringLiteral("cbPresets")));
        typeText(QStringLiteral("j"));
        ASSERT_EQ(shown(dialogs.take()), shown(QStringList{kAskPresets}));
        if (destroy)
            window.reset();
        else
            window->close();
        QCoreApplication::processEvents();
        EXPECT_EQ(shown(dialogs.take()), "");
    }
}
