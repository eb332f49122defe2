// Numeric fields: leaving one with text that is no number of its kind brings back the
// text it had on entry; valid text stays exactly as typed.
#include "WindowFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {

class FieldCheck : public WindowTest {
protected:
    void SetUp() override {
        open();
        form().show();
        form().activateWindow();
        QCoreApplication::processEvents();
    }
    // Moves the keyboard focus the way the Tab key does.
    void tabTo(QWidget* widget) {
        widget->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
    }
    // Types `text` into `name` and tabs on; returns what the field then holds.
    QString typeAndLeave(const char* name, const QString& text) {
        tabTo(field(name));
        field(name)->setText(text);
        tabTo(box("bShowHud"));
        return field(name)->text();
    }
};

struct Case {
    const char* field;
    const char* text;
    bool valid;
};

TEST_F(FieldCheck, IntegerAndFloatSyntaxAtTheBoundaries) {
    const Case cases[] = {
        {"ResX", "2147483647", true},  {"ResX", "-2147483648", true},
        {"ResX", "2147483648", false}, {"ResX", "$FFFFFFFF", true},
        {"ResX", "0x0", true},         {"ResX", "$100000000", false},
        {"ResX", " 12", true},         {"ResX", "12 ", false},
        {"ResX", "007", true},         {"ResX", "-5", true},
        {"ResX", "", false},           {"ResX", "1.5", false},
        {"Bob", "1.5e-3", true},       {"Bob", "-.5", true},
        {"Bob", "5.", true},           {"Bob", ".", true},
        {"Bob", "1,5", false},         {"Bob", "1e", false},
        {"Bob", "1.2.3", false},       {"Bob", "$10", false},
        {"Bob", "INF", false},         {"MinSmoothedFrameRate", "22", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " <- '" + c.text + "'");
        const QString before = field(c.field)->text();
        const QString after = typeAndLeave(c.field, c.text);
        if (c.valid) {
            EXPECT_EQ(after, c.text) << "valid text stays exactly as typed";
            EXPECT_TRUE(dialogs.take().isEmpty());
        } else {
            EXPECT_EQ(after, before);
            const bool integer = std::string(c.field) == "ResX";
            EXPECT_EQ(dialogs.take(), QStringList{integer ? "message: Not a valid integer value!"
                                                          : "message: Not a valid float value!"});
        }
    }
}

TEST_F(FieldCheck, RestoresTheTextOfTheFieldLeftNotOfAnEarlierOne) {
    tabTo(field("ResX")); // entered A
    tabTo(field("ResY")); // entered B without typing
    field("ResY")->setText("oops");
    tabTo(box("bShowHud"));
    EXPECT_EQ(field("ResY")->text(), "1024");
    EXPECT_EQ(field("ResX")->text(), "1280");
}

TEST_F(FieldCheck, AMessageBoxIsNoLeaving) {
    tabTo(field("ResX"));
    field("ResX")->setText("bad");
    // Another window taking and returning the focus is no leave and no new entry.
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(field("ResX"), &out);
    QFocusEvent in(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(field("ResX"), &in);
    EXPECT_TRUE(dialogs.shown.isEmpty());
    tabTo(box("bShowHud"));
    EXPECT_EQ(field("ResX")->text(), "1280") << "the text of the one entry, not of the return";
}

TEST_F(FieldCheck, LoadedTextIsNotChecked) {
    field("DecalLifeSpan")->setText("not a number"); // as a load or import puts it
    EXPECT_TRUE(dialogs.shown.isEmpty());
    tabTo(field("DecalLifeSpan"));
    tabTo(box("bShowHud"));
    EXPECT_EQ(dialogs.take(), QStringList{"message: Not a valid float value!"});
    EXPECT_EQ(field("DecalLifeSpan")->text(), "not a number") << "its own entry text comes back";
}

TEST_F(FieldCheck, EnterPressesSaveFromBoxesAndComboButNotFromOtherButtons) {
    const QString question = "confirm: Save this Settings? Existing Tweaks will be overwritten!";
    dialogs.answers = {kConfirmCancel, kConfirmCancel, kConfirmCancel};
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    tabTo(box("MotionBlur"));
    QCoreApplication::sendEvent(box("MotionBlur"), &enter);
    EXPECT_TRUE(box("MotionBlur")->isChecked()) << "Enter does not toggle the box";
    auto* presets = form().control<QComboBox>("cbPresets");
    tabTo(presets);
    QCoreApplication::sendEvent(presets->lineEdit(), &enter);
    EXPECT_EQ(dialogs.take(), QStringList({question, question}));

    auto* load = form().control<QPushButton>("BtnLoadIni");
    tabTo(load);
    QCoreApplication::sendEvent(load, &enter);
    EXPECT_EQ(dialogs.take(),
              QStringList{"confirm: Load settings from INIs? Unsaved settings will be lost!"});
}

} // namespace

namespace {

// Shows the refusal in a real modal message box, closed a moment later as a user would.
class RealMessageBoxes : public FakeDialogs {
public:
    void showMessage(const QString& text) override {
        FakeDialogs::showMessage(text);
        QTimer::singleShot(50, [] {
            if (QWidget* box = QApplication::activeModalWidget())
                box->close();
        });
        QMessageBox box(QMessageBox::NoIcon, "Knobwerk", text, QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    }
};

using FieldCheckWithRealBoxes = WindowTest;

TEST_F(FieldCheckWithRealBoxes, TheBoxDoesNotDisturbWhereTheFocusGoes) {
    RealMessageBoxes boxes;
    TMainform form(boxes, gameCheck());
    form.show();
    form.activateWindow();
    QCoreApplication::processEvents();
    auto* resx = form.control<QLineEdit>("ResX");
    auto* resy = form.control<QLineEdit>("ResY");
    resx->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    resx->setText("bad");
    resy->setFocus(Qt::TabFocusReason); // the refusal box opens and closes in between
    form.activateWindow();              // as the window manager does once the box is gone
    QCoreApplication::processEvents();
    EXPECT_EQ(boxes.shown.filter("message:"), QStringList{"message: Not a valid integer value!"});
    EXPECT_EQ(resx->text(), "1280");
    EXPECT_EQ(QApplication::focusWidget(), resy);
    resy->setText("worse");
    form.control<QCheckBox>("bShowHud")->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    EXPECT_EQ(resy->text(), "1024") << "the field moved to was entered once, with its own text";
}

} // namespace
