// Start-up: caption, tweak file, patch version and the first load, also when files are
// missing; the information box, the help link and the confirmation box.
#include "RealInput.h"
#include "WindowFixture.h"

#include "ui/FormBuilder.h"
#include "ui/QtUserDialogs.h"

#include <QApplication>
#include <QFontDatabase>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

#include <optional>

namespace fs = std::filesystem;

namespace {

using Startup = WindowTest;

QString patchVersion(TMainform& form) {
    return form.control<QLabel>("patchversion")->text();
}

TEST_F(Startup, FillsTheWindowAndShowsThePatchVersion) {
    TMainform& form = open();
    EXPECT_EQ(form.windowTitle(), "UT3 Knobwerk v1.0 - powered by https://sponsor.knobwerk.example");
    EXPECT_EQ(patchVersion(form), "Your UT3 Patch Version: 5");
    EXPECT_EQ(form.control<QLabel>("patchversion")->toolTip(),
              "Configuration folder: " + QString::fromStdString(configFolder().string()));
    EXPECT_EQ(field("ShadowFilterRadius")->text(), "32") << "0x20 in the file";
    EXPECT_EQ(field("DetailMode")->text(), "16") << "016 in the file";
    EXPECT_EQ(field("MinDesiredFrameRate")->text(), "35.000000");
    EXPECT_EQ(field("ModShadowFadeDistanceExponent")->text(), "0.200000");
    EXPECT_FALSE(box("bShowPowerups")->isChecked());
    EXPECT_TRUE(box("bUseTextureStreaming")->isChecked()) << "1 reads as true";
    EXPECT_TRUE(box("bPlayMoviez")->isChecked());
    for (const CatalogueRow& row : settingsCatalogue()) {
        if (row.kind == ValueKind::Boolean) {
            EXPECT_FALSE(box(std::string(row.control).c_str())->font().bold()) << row.control;
        }
    }
}

TEST_F(Startup, FirstStartCreatesTheTweakFileSecondLeavesIt) {
    ASSERT_FALSE(fs::exists(tweakFile()));
    open();
    const std::string created = readBytes(tweakFile());
    EXPECT_EQ(created, "[General]\r\nCreationDate=07.12.2026, 10:31:05\r\nVersion=v1.0\r\n");
    open();
    EXPECT_EQ(readBytes(tweakFile()), created);
}

TEST_F(Startup, MissingPatchKeyShowsMinusOne) {
    std::string engine = kSampleEngineIni;
    engine.erase(0, engine.find("[Engine.Engine]"));
    writeBytes(gameFile("UTEngine.ini"), engine);
    EXPECT_EQ(patchVersion(open()), "Your UT3 Patch Version: -1");
}

TEST_F(Startup, LongerPatchVersionGrowsToTheLeft) {
    std::string engine = kSampleEngineIni;
    engine = replaced(engine, "Patch=5", "Patch=5 (build 3809, with the big community bonus pack)");
    writeBytes(gameFile("UTEngine.ini"), engine);
    auto* label = open().control<QLabel>("patchversion");
    EXPECT_EQ(label->geometry().right() + 1, 854);
    EXPECT_LT(label->x(), 724);
}

TEST_F(Startup, UnwritableProgramFolderShowsErrorAndStillLoads) {
    std::string engine = kSampleEngineIni;
    engine = replaced(engine, "ResX=1280", "ResX=1920");
    writeBytes(gameFile("UTEngine.ini"), engine);
    fs::remove_all(programFolder());
    writeBytes(programFolder(), "a file where the program's folder should be");
    TMainform form(dialogs, gameCheck());
    EXPECT_EQ(dialogs.shown,
              QStringList{"error: Unable to write to " + QString::fromStdString(tweakFile().string()) + "."});
    EXPECT_EQ(form.control<QLabel>("patchversion")->text(), "Your UT3 Patch Version: 5");
    EXPECT_EQ(form.control<QLineEdit>("ResX")->text(), "1920") << "the player's value, not the layout's";
    EXPECT_FALSE(fs::is_directory(programFolder()));
}

TEST_F(Startup, InformationAndHelpLink) {
    TMainform& form = open();
    form.run(&TMainform::Button1Click);
    ASSERT_EQ(dialogs.shown.size(), 1);
    const QStringList lines = dialogs.shown.first().mid(9).split("\r\n");
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines[0], "Version: v1.0");
    EXPECT_EQ(lines[1], "Getting Help @ " + form.control<QLabel>("Label31")->text());
    EXPECT_TRUE(lines[2].startsWith("Thx to ") &&
                lines[2].endsWith(" for explaining all important Tweaks :P"));
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], "Some random propaganda :D");
    dialogs.take();

    dialogs.urlOpens = false;
    auto* link = form.control<QLabel>("Label31");
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(link, &release);
    EXPECT_EQ(dialogs.shown, QStringList{"url: " + link->text()}) << "a failed link reports nothing";
    EXPECT_TRUE(link->text().contains(".example"));
}

TEST_F(Startup, ClosingAsksNothingAndWritesNothing) {
    TMainform& form = open();
    box("MotionBlur")->click();
    field("ResX")->setText("640");
    form.show();
    form.close();
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(readBytes(gameFile("UTEngine.ini")), kSampleEngineIni);
}

// The real confirmation box: OK gives 1; Cancel, Escape and the close box give 2.
TEST(ConfirmationBox, OkIsOneEverythingElseIsTwo) {
    QtUserDialogs dialogs;
    const auto confirmation = [](QWidget* box) {
        EXPECT_TRUE(box->windowFlags() & Qt::WindowStaysOnTopHint);
        EXPECT_EQ(box->windowTitle(), "Information");
    };
    answerNextBox(confirmation, keyOnBox(Qt::Key_Escape));
    EXPECT_EQ(dialogs.confirm("Proceed?", "Information"), 2);
    answerNextBox(confirmation, [](QWidget* box) { box->close(); });
    EXPECT_EQ(dialogs.confirm("Proceed?", "Information"), 2);
    answerNextBox(confirmation, keyOnBox(Qt::Key_Return));
    EXPECT_EQ(dialogs.confirm("Proceed?", "Information"), 1);
}

// Desktop message faces the boxes do not draw with: a monospace one (a bare system) and
// a name the font database does not know (Wine's "MS Shell Dlg"), which Qt replaces with
// a stand-in. The real box, drawn offscreen, shows its text in the window's face then.
// The pictures are kept beside the test program.
struct DesktopFace {
    const char* name;
    QFont (*font)();
};
void PrintTo(const DesktopFace& face, std::ostream* out) {
    *out << face.name;
}

class MessageBoxFont : public testing::TestWithParam<DesktopFace> {};

TEST_P(MessageBoxFont, IsTheWindowsFace) {
    const QFont desktop = QApplication::font("QMessageBox");
    const QFont given = GetParam().font();
    const QFontInfo standIn(given);
    if (!standIn.fixedPitch() && standIn.family() == given.family())
        GTEST_SKIP() << given.family().toStdString() << " is a real proportional face here";
    QApplication::setFont(given, "QMessageBox");

    std::optional<QFontInfo> drawn;
    QImage picture;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        if (const auto* text = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
            drawn = QFontInfo(text->font());
        picture = box->grab().toImage();
        box->close();
    });
    QtUserDialogs().showMessage(QStringLiteral("Settings were saved to Ini Files."));
    QApplication::setFont(desktop, "QMessageBox");

    ASSERT_TRUE(drawn.has_value()) << "the box's text label";
    EXPECT_EQ(drawn->family().toStdString(), QFontInfo(windowFont()).family().toStdString());
    ASSERT_FALSE(picture.isNull());
    EXPECT_TRUE(picture.save(QCoreApplication::applicationDirPath() +
                             QStringLiteral("/message-box-%1.png").arg(GetParam().name)));
}

INSTANTIATE_TEST_SUITE_P(
    WhereTheDesktopsIs, MessageBoxFont,
    testing::Values(DesktopFace{"Monospace",
                                [] { return QFontDatabase::systemFont(QFontDatabase::FixedFont); }},
                    DesktopFace{"Unknown",
                                [] {
                                    QFont font(QStringLiteral("MS Shell Dlg"));
                                    font.setStyleHint(QFont::Serif); // Wine's stand-in
                                    return font;
                                }}),
    [](const testing::TestParamInfo<DesktopFace>& info) { return std::string(info.param.name); });

TEST(ApplicationTitle, IsTheProgramFileNameCutAtTheFirstFullStop) {
    const QString title = QtUserDialogs::applicationTitle();
    EXPECT_FALSE(title.isEmpty());
    EXPECT_FALSE(title.contains('.'));
    EXPECT_TRUE(QCoreApplication::applicationFilePath().contains(title));
}

} // namespace
