// The keyboard on the shown window: where the focus is when it opens, which push button
// is the default one as the focus moves, and what Enter presses.
#include "RealInput.h"
#include "WindowFixture.h"

#include <QComboBox>
#include <QPushButton>

namespace {

const QString kAskSave = QStringLiteral("confirm: Save this Settings? Existing Tweaks will be overwritten!");

class Keyboard : public WindowTest {
protected:
    void SetUp() override {
        // A value unlike the layout's, so that an entry is seen to take the loaded text.
        writeBytes(gameFile("UTEngine.ini"),
                   replaced(kSampleEngineIni, "MaxAnisotropy=16", "MaxAnisotropy=8"));
        open();
        ASSERT_TRUE(showActive(form()));
    }

    QPushButton* button(const char* name) { return form().control<QPushButton>(QLatin1String(name)); }

    // The push buttons drawn as the default button now.
    QStringList drawnDefault() {
        QStringList names;
        for (QPushButton* each : form().findChildren<QPushButton*>())
            if (each->isDefault())
                names << each->objectName();
        return names;
    }

    QString focused() const { return QApplication::focusWidget()->objectName(); }
};

TEST_F(Keyboard, OpensWithTheFocusEnteredInMaxAnisotropy) {
    EXPECT_EQ(focused(), "MaxAnisotropy");

    dialogs.answers = {kConfirmCancel};
    press(Qt::Key_Return);
    EXPECT_EQ(dialogs.take(), QStringList{kAskSave}) << "Enter presses Save, not Info";

    typeText(QStringLiteral("x"));
    ASSERT_EQ(field("MaxAnisotropy")->text(), "8x");
    press(Qt::Key_Tab);
    EXPECT_EQ(dialogs.take(), QStringList{"message: Not a valid integer value!"});
    EXPECT_EQ(field("MaxAnisotropy")->text(), "8") << "entered after the load, with its loaded text";
    EXPECT_EQ(focused(), "MaxMultisamples");
}

TEST_F(Keyboard, DefaultButtonIsSaveUnlessAnotherPushButtonHasTheFocus) {
    EXPECT_EQ(drawnDefault(), QStringList{"BtnSave"});
    tabInto(form().control<QComboBox>("cbPresets"));
    // Backwards through the buttons of the top strip, then forwards again.
    const struct {
        Qt::KeyboardModifiers modifiers;
        const char* focus;
        const char* drawnDefault;
    } steps[] = {
        {Qt::ShiftModifier, "BtnExport", "BtnExport"}, {Qt::ShiftModifier, "BtnSave", "BtnSave"},
        {Qt::ShiftModifier, "BtnImport", "BtnImport"}, {Qt::NoModifier, "BtnSave", "BtnSave"},
        {Qt::NoModifier, "BtnExport", "BtnExport"},    {Qt::NoModifier, "cbPresets", "BtnSave"},
    };
    for (const auto& step : steps) {
        press(Qt::Key_Tab, step.modifiers);
        ASSERT_EQ(focused(), step.focus);
        EXPECT_EQ(drawnDefault(), QStringList{step.drawnDefault}) << "focus on " << step.focus;
    }

    tabInto(box("bShowHud"));
    EXPECT_EQ(drawnDefault(), QStringList{"BtnSave"});
    tabInto(button("BtnLoadIni"));
    EXPECT_EQ(drawnDefault(), QStringList{"BtnLoadIni"}) << "a plain button as well";
    dialogs.answers = {kConfirmCancel};
    press(Qt::Key_Return);
    EXPECT_EQ(dialogs.take(),
              QStringList{"confirm: Load settings from INIs? Unsaved settings will be lost!"});
}

} // namespace
