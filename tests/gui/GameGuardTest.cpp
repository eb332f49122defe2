// A running game writes its settings files again when it quits and undoes what was
// written meanwhile: save and restore warn first, and only they.
#include "RealInput.h"
#include "WindowFixture.h"

#include "ui/QtUserDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

namespace {

const QString kWarning = QStringLiteral(
    "warning: UT3 is running. When it quits, the game writes its settings files again and undoes this.\r\n"
    "Please quit the game first, or press OK to go on anyway.");
const QString kAskSave = QStringLiteral("confirm: Save this Settings? Existing Tweaks will be overwritten!");
const QString kSaved = QStringLiteral("message: Settings were saved to Ini Files.");
const QString kAskRestore = QStringLiteral("confirm: Old INIs will be restored from the backups. Proceed?");
const QString kRestored = QStringLiteral("message: Backups have been restored.");

struct Handler {
    const char* name;
    void (TMainform::*run)();
};
const Handler kSave{"BtnSaveClick", &TMainform::BtnSaveClick};
const Handler kRestore{"BtnRestoreClick", &TMainform::BtnRestoreClick};

class GameGuard : public WindowTest {
protected:
    // A window that differs from the game files, and backups that differ from both, so
    // that a save or a restore that runs changes UTEngine.ini.
    void SetUp() override {
        open();
        box("MotionBlur")->click();
        writeBytes(gameFile("UTEngine.ini.bak"), replaced(kSampleEngineIni, "ResX=1280", "ResX=640"));
        writeBytes(gameFile("UTGame.ini.bak"), kSampleGameIni);
        writeBytes(gameFile("UTInput.ini.bak"), kSampleInputIni);
    }

    std::string gameFiles() const {
        std::string all;
        for (const char* name : kGameFiles)
            all += readBytes(gameFile(name));
        return all;
    }
};

TEST_F(GameGuard, CancelOnTheWarningEndsSaveAndRestoreWithNothingWritten) {
    gameRunning = true;
    const std::string before = gameFiles();
    for (const Handler& handler : {kSave, kRestore}) {
        dialogs.answers = {kConfirmCancel};
        form().run(handler.run);
        EXPECT_EQ(shown(dialogs.take()), shown({kWarning})) << handler.name;
        EXPECT_EQ(gameFiles(), before) << handler.name;
    }
}

TEST_F(GameGuard, WarnsOnlyWhileTheGameRunsThenAsksAndWritesAsUsual) {
    const struct {
        Handler handler;
        bool running;
        QStringList boxes;
        const char* engineHolds;
    } cases[] = {
        {kSave, true, {kWarning, kAskSave, kSaved}, "MotionBlur=False\r\n"},
        {kSave, false, {kAskSave, kSaved}, "MotionBlur=False\r\n"},
        {kRestore, true, {kWarning, kAskRestore, kRestored}, "ResX=640\r\n"},
        {kRestore, false, {kAskRestore, kRestored}, "ResX=640\r\n"},
    };
    for (const auto& c : cases) {
        writeSampleGameFiles();
        gameRunning = c.running;
        form().run(c.handler.run);
        EXPECT_EQ(shown(dialogs.take()), shown(c.boxes)) << c.handler.name << " running " << c.running;
        EXPECT_NE(readBytes(gameFile("UTEngine.ini")).find(c.engineHolds), std::string::npos)
            << c.handler.name << " running " << c.running;
    }
}

TEST_F(GameGuard, OperationsThatLeaveTheGameFilesAloneNeverWarn) {
    gameRunning = true;
    dialogs.fileToOpen = QString::fromStdString(tweakFile().string());
    const Handler others[] = {{"BtnLoadIniClick", &TMainform::BtnLoadIniClick},
                              {"BtnBackupClick", &TMainform::BtnBackupClick},
                              {"BtnExportClick", &TMainform::BtnExportClick},
                              {"BtnImportClick", &TMainform::BtnImportClick},
                              {"cbPresetsChange", &TMainform::cbPresetsChange}};
    for (const Handler& handler : others) {
        form().run(handler.run);
        const QStringList boxes = dialogs.take();
        EXPECT_FALSE(boxes.isEmpty()) << handler.name << " ran";
        EXPECT_FALSE(boxes.contains(kWarning)) << handler.name << ":\n" << shown(boxes);
    }
}

// The real box: a warning under the application's title, where Enter and Escape cancel
// and only OK itself goes on.
TEST(GameRunningWarningBox, CancelIsTheDefaultAndOnlyOkGoesOn) {
    QtUserDialogs dialogs;
    const auto warning = [](QWidget* box) {
        auto* message = qobject_cast<QMessageBox*>(box);
        ASSERT_NE(message, nullptr);
        EXPECT_EQ(message->icon(), QMessageBox::Warning);
        EXPECT_EQ(box->windowTitle(), QtUserDialogs::applicationTitle());
    };
    answerNextBox(warning, keyOnBox(Qt::Key_Return));
    EXPECT_EQ(dialogs.warn("UT3 is running."), kConfirmCancel);
    answerNextBox(warning, keyOnBox(Qt::Key_Escape));
    EXPECT_EQ(dialogs.warn("UT3 is running."), kConfirmCancel);
    answerNextBox(warning,
                  [](QWidget* box) { qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click(); });
    EXPECT_EQ(dialogs.warn("UT3 is running."), kConfirmOk);
}

} // namespace
