// A file that went missing, as the window tells it: the report comes once, among the
// operation's own boxes, and a success message only when nothing went missing.
#include "IniValue.h"
#include "WindowFixture.h"

#include "settings/Catalogue.h"

#include <QLabel>

#include <functional>

namespace fs = std::filesystem;

namespace {

const QString kReport = QStringLiteral("the missing file's report");

class MissingFile : public WindowTest {
protected:
    QString report(const fs::path& file) const {
        return QString::fromStdString("message: The ini, expected in \"" + file.string() +
                                      "\", could not be found or loaded.");
    }
};

TEST_F(MissingFile, IsReportedOnceAmongTheOperationsOwnBoxes) {
    // Start-up comes first: it is the first operation of a fresh INI layer.
    std::unique_ptr<TMainform> started;
    const struct {
        const char* operation;
        fs::path file;
        std::function<void()> run;
        QStringList shown; // kReport stands for the report of `file`
        std::function<void()> then;
    } cases[] = {
        {"start-up: the patch version, then the load",
         gameFile("UTEngine.ini"),
         [&] { started = std::make_unique<TMainform>(dialogs, gameCheck()); },
         {kReport, kReport},
         [&] { EXPECT_EQ(started->control<QLabel>("patchversion")->text(), "Your UT3 Patch Version: "); }},
        {"load",
         gameFile("UTGame.ini"),
         [this] { form().run(&TMainform::BtnLoadIniClick); },
         {"confirm: Load settings from INIs? Unsaved settings will be lost!", kReport,
          "message: Settings were loaded from Ini Files."},
         [this] {
             for (const CatalogueRow& row : settingsCatalogue()) {
                 if (row.target != GameIni || row.kind != ValueKind::Boolean)
                     continue;
                 EXPECT_FALSE(bold(std::string(row.control).c_str())) << "cleared and missing: equal";
             }
         }},
        {"save",
         gameFile("UTInput.ini"),
         [this] { form().run(&TMainform::BtnSaveClick); },
         {"confirm: Save this Settings? Existing Tweaks will be overwritten!", kReport,
          "message: Settings were saved to Ini Files."},
         [] {}},
        {"export", tweakFile(), [this] { form().run(&TMainform::BtnExportClick); }, {kReport}, [] {}},
        {"export into a file put back while its loss is reported",
         tweakFile(),
         [this] {
             dialogs.whileMessageShown = [this] { writeBytes(tweakFile(), "[General]\r\n"); };
             form().run(&TMainform::BtnExportClick);
         },
         {kReport},
         [this] {
             EXPECT_EQ(iniValue(readBytes(tweakFile()), "General", "Version"), "<missing>")
                 << "the key whose write found no file";
         }},
        {"marking",
         gameFile("UTGame.ini"),
         [this] { form().CycleAllChanges(); },
         {kReport},
         [this] {
             box("bShowHud")->click();
             EXPECT_TRUE(dialogs.shown.isEmpty()) << "clicks never clear the report flag";
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.operation);
        writeSampleGameFiles();
        if (!std::string_view(c.operation).starts_with("start-up"))
            open();
        fs::remove(c.file);
        c.run();
        QStringList expected = c.shown;
        expected.replaceInStrings(kReport, report(c.file));
        EXPECT_EQ(shown(dialogs.take()), shown(expected));
        c.then();
        dialogs.whileMessageShown = {};
    }
}

} // namespace
