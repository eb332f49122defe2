// A running game writes its settings files again when it quits and undoes what was
// written meanwhile: save and restore warn first, and only they.
#include "WindowFixture.h"

#include "platform/GameProcess.h"
#include "ui/QtUserDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>

namespace {

const QString kWarning = QStringLiteral(
    "warning: UT3 is running. When it quits, the game writes its settings files again and undoes this.\r\n"
    "Please quit the game first, or press OK to go on anyway.");
const QString kAskSave = QStringLiteral("confirm: Save this Settings? Existing Tweaks will be overwritten!");
const QString kSaved = QStringLiteral("message: Settings were saved to Ini Files.");
const QString kAskRestore = QStringLiteral("confirm: Old INIs will be restored from the backups. Proceed?");
const QString kRestored = QStringLiteral("message: Backups have been restored.");

const char* const kGameFiles[] = {"UTEngine.ini", "UTGame.ini", "UTInput.ini"};

std::string shown(const QStringList& boxes) {
    return boxes.join(QStringLiteral("\n----\n")).toStdString();
}

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
    gameprocess::pretendGameRunning(true);
    const std::string before = gameFiles();
    for (const char* handler : {"BtnSaveClick", "BtnRestoreClick"}) {
        dialogs.answers = {kConfirmCancel};
        form().runHandler(QLatin1String(handler));
        EXPECT_EQ(shown(dialogs.take()), shown({kWarning})) << handler;
        EXPECT_EQ(gameFiles(), before) << handler;
    }
}

TEST_F(GameGuard, WarnsOnlyWhileTheGameRunsThenAsksAndWritesAsUsual) {
    const struct {
        const char* handler;
        bool running;
        QStringList boxes;
        const char* engineHolds;
    } cases[] = {
        {"BtnSaveClick", true, {kWarning, kAskSave, kSaved}, "MotionBlur=False\r\n"},
        {"BtnSaveClick", false, {kAskSave, kSaved}, "MotionBlur=False\r\n"},
        {"BtnRestoreClick", true, {kWarning, kAskRestore, kRestored}, "ResX=640\r\n"},
        {"BtnRestoreClick", false, {kAskRestore, kRestored}, "ResX=640\r\n"},
    };
    for (const auto& c : cases) {
        writeSampleGameFiles();
        gameprocess::pretendGameRunning(c.running);
        form().runHandler(QLatin1String(c.handler));
        EXPECT_EQ(shown(dialogs.take()), shown(c.boxes)) << c.handler << " running " << c.running;
        EXPECT_NE(readBytes(gameFile("UTEngine.ini")).find(c.engineHolds), std::string::npos)
            << c.handler << " running " << c.running;
    }
}

TEST_F(GameGuard, OperationsThatLeaveTheGameFilesAloneNeverWarn) {
    gameprocess::pretendGameRunning(true);
    dialogs.fileToOpen = QString::fromStdString(tweakFile().string());
    for (const char* handler :
         {"BtnLoadIniClick", "BtnBackupClick", "BtnExportClick", "BtnImportClick", "cbPresetsChange"}) {
        form().runHandler(QLatin1String(handler));
        const QStringList boxes = dialogs.take();
        EXPECT_FALSE(boxes.isEmpty()) << handler << " ran";
        EXPECT_FALSE(boxes.contains(kWarning)) << handler << ":\n" << shown(boxes);
    }
}

TEST_F(GameGuard, ASaveRefusedForAStoppedLoadShowsNoWarning) {
    writeBytes(gameFile("UTGame.ini"), replaced(kSampleGameIni, "bShowHud=True", "bShowHud=maybe"));
    form().runHandler(QStringLiteral("BtnLoadIniClick"));
    dialogs.take();
    gameprocess::pretendGameRunning(true);
    form().runHandler(QStringLiteral("BtnSaveClick"));
    EXPECT_EQ(shown(dialogs.take()), "error: 'maybe' is not a valid boolean value.");
}

// The real box: a warning under the application's title, where Enter and Escape cancel
// and only OK itself goes on.
TEST(GameRunningWarningBox, CancelIsTheDefaultAndOnlyOkGoesOn) {
    QtUserDialogs dialogs;
    const auto answerWith = [](const std::function<void(QMessageBox*)>& act) {
        QTimer::singleShot(0, [act] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->icon(), QMessageBox::Warning);
            EXPECT_EQ(box->windowTitle(), QtUserDialogs::applicationTitle());
            act(box);
        });
    };
    const auto press = [](Qt::Key key) {
        return [key](QMessageBox* box) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QCoreApplication::sendEvent(box, &press);
        };
    };
    answerWith(press(Qt::Key_Return));
    EXPECT_EQ(dialogs.warn("UT3 is running."), kConfirmCancel);
    answerWith(press(Qt::Key_Escape));
    EXPECT_EQ(dialogs.warn("UT3 is running."), kConfirmCancel);
    answerWith([](QMessageBox* box) { box->button(QMessageBox::Ok)->click(); });
    EXPECT_EQ(dialogs.warn("UT3 is running."), kConfirmOk);
}

} // namespace
