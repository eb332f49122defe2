// The description panel below the scroll box, driven by pointer moves over the real
// controls of the window.
#include "WindowFixture.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>

#include <string>

namespace {

const std::string kAnisotropyText(
    "Controls the level of anisotropic filtering which is used to make distant textures look more clear.");
const std::string
    kParticleText("Controls the Level of detail function for Emitter particles. 0 is the normal level, above "
                  "reduces details, below increases the detail behaviour.");

} // namespace

class DescriptionPanelTest : public WindowTest {
protected:
    std::string title() { return form().control<QGroupBox>(QStringLiteral("gDesc"))->title().toStdString(); }
    std::string text() { return form().control<QLabel>(QStringLiteral("sDesc"))->text().toStdString(); }

    // The pointer moving inside a control, as the platform reports it.
    void hover(const char* name) {
        QWidget* control = form().control<QWidget>(QLatin1String(name));
        ASSERT_NE(control, nullptr) << name;
        const QPointF inside(2, 2);
        QMouseEvent move(QEvent::MouseMove, inside, control->mapToGlobal(inside), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(control, &move);
    }
};

TEST_F(DescriptionPanelTest, StartsWithTheInvitationAndKeepsItOverControlsWithoutEntry) {
    open();
    EXPECT_EQ(title(), std::string("Description: none"));
    EXPECT_EQ(text(), std::string("Hold your mouse over an Itemtext and get a description here"));

    hover("MaxAnisotropy");
    hover("bUseBackgroundLevelStreaming");
    hover("GroupBox1");
    hover("cbPresets");
    EXPECT_EQ(title(), std::string("Description: none"));
    EXPECT_EQ(text(), std::string("Hold your mouse over an Itemtext and get a description here"));

    hover("Label13");
    EXPECT_EQ(title(), std::string("Description: MaxAnisotropy"));
    EXPECT_EQ(text(), kAnisotropyText);
}

TEST_F(DescriptionPanelTest, LastDescriptionStaysOverFieldsAndUndescribedBoxes) {
    open();
    hover("Label13");
    hover("MaxAnisotropy");
    EXPECT_EQ(title(), std::string("Description: MaxAnisotropy"));
    EXPECT_EQ(text(), kAnisotropyText);

    hover("bUseSound");
    hover("bUseBackgroundLevelStreaming");
    EXPECT_EQ(title(), std::string("Description: bUseSound"));
    EXPECT_EQ(text(),
              std::string("Enables/Disables all Sound in the game. Only use if you experience trouble and "
                          "want to test if the sound causes it."));

    // Neither a preset nor a load empties the panel.
    form().control<QComboBox>(QStringLiteral("cbPresets"))->setCurrentIndex(2);
    emit form().control<QComboBox>(QStringLiteral("cbPresets"))->activated(2);
    form().run(&TMainform::BtnLoadIniClick);
    EXPECT_EQ(title(), std::string("Description: bUseSound"));
    EXPECT_EQ(text().rfind("Enables/Disables all Sound in the game.", 0), 0u) << text();
}

TEST_F(DescriptionPanelTest, SharedTitlesKeepTheTitleAndChangeTheText) {
    open();
    hover("Label1");
    EXPECT_EQ(title(), std::string("Description: ShadowFilterRadius"));
    EXPECT_EQ(text(),
              std::string("This setting controls the shadow filtering and is determining how detailed the "
                          "shadow outlines are drawn.\r\nHigher values reduce details of the shape, lower "
                          "values give more details."));

    hover("Label10");
    EXPECT_EQ(title(), std::string("Description: ShadowFilterRadius"));
    EXPECT_EQ(text(), kParticleText);

    hover("UseEffectsProcessing");
    EXPECT_EQ(title(), std::string("Description: ShadowFilterRadius"));
    EXPECT_EQ(
        text(),
        std::string(
            "Controls several sound effects being processed by the engine. Best to keep it as default."));
}

TEST_F(DescriptionPanelTest, RenamedTitlesAndLineBreaks) {
    open();
    hover("Label14");
    EXPECT_EQ(title(), std::string("Description: MaxMultisample"));
    hover("bFirstPersonWeaponsSelfShadow");
    EXPECT_EQ(title(), std::string("Description: bFirstPersonWeaponSelfShadow"));
    hover("bClearAnimSetLinkupCachesOnLoadMap");
    EXPECT_EQ(title(), std::string("Description: bClearAnimSetLinkupCachesOnLoad"));
    hover("bUseTextureStreaming");
    EXPECT_NE(text().find("of the Level.\r\nDisabling it"), std::string::npos) << text();
    EXPECT_TRUE(form().control<QLabel>(QStringLiteral("sDesc"))->wordWrap());
}
