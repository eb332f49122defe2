// Export of the window's values into Knobwerk.ini and import of such a file, checked on
// the real window and the real file on disk.
#include "IniValue.h"
#include "WindowFixture.h"

#include "inidigest/IniText.h"

#include "settings/Catalogue.h"
#include "ui/TextCodec.h"
#include "ui/UserDialogs.h"

#include <filesystem>
#include <map>
#include <sstream>
#include <vector>

#ifdef __linux__
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <atomic>
#include <thread>
#endif

namespace {

const QString kExportMessage = QStringLiteral("message: Settings were saved to Knobwerk.ini.\r\n"
                                              "You can share it with other people if you like,\r\n"
                                              "it only contains the tweak-settings. You can find\r\n"
                                              "it where your Knobwerk.exe is located.");

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        result.push_back(line);
    }
    return result;
}

// The section names of INI text, in file order.
std::vector<std::string> sections(const std::string& text) {
    std::vector<std::string> result;
    for (const std::string& line : lines(text))
        if (line.size() > 2 && line.front() == '[' && line.back() == ']')
            result.push_back(line.substr(1, line.size() - 2));
    return result;
}

// The entry lines of one section, in file order.
std::vector<std::string> entries(const std::string& text, const std::string& section) {
    std::vector<std::string> result;
    bool inSection = false;
    for (const std::string& line : lines(text)) {
        if (!line.empty() && line.front() == '[')
            inSection = line == "[" + section + "]";
        else if (inSection && !line.empty())
            result.push_back(line);
    }
    return result;
}

// The values of the 73 imported controls (the movie box is left out: the import keeps it).
std::map<std::string, std::string> importedControls(const TMainform& form) {
    auto values = windowValues(form);
    values.erase("bPlayMoviez");
    return values;
}

} // namespace

class TweakFileTest : public WindowTest {
protected:
    // Turns every setting away from what the game files hold: each box clicked as a user
    // would, each field given a text of its own. Returns what an import of the export
    // must restore.
    std::map<std::string, std::string> changeEverything() {
        int n = 0;
        for (const CatalogueRow& row : settingsCatalogue()) {
            const QString name = fromTableText(row.control);
            ++n;
            if (row.kind == ValueKind::Boolean)
                form().control<QCheckBox>(name)->click();
            else if (row.kind == ValueKind::Integer)
                form().control<QLineEdit>(name)->setText(QString::number(200 + n));
            else if (row.kind == ValueKind::FloatText)
                form().control<QLineEdit>(name)->setText(QStringLiteral("%1.25").arg(n));
        }
        return importedControls(form());
    }

    void exportNow() { form().run(&TMainform::BtnExportClick); }

    void importFrom(const std::filesystem::path& file) {
        dialogs.fileToOpen = QString::fromStdString(file.string());
        form().run(&TMainform::BtnImportClick);
    }

    void reloadFromGameFiles() {
        form().run(&TMainform::BtnLoadIniClick);
        dialogs.take();
    }

    std::string missing(const std::filesystem::path& file) const {
        return "message: The ini, expected in \"" + file.string() + "\", could not be found or loaded.";
    }
};

// ---- Export ----

TEST_F(TweakFileTest, ExportShowsItsMessageAndWritesEveryKey) {
    open();
    exportNow();
    EXPECT_EQ(shown(dialogs.take()), shown(QStringList{kExportMessage}));

    const std::string file = readBytes(tweakFile());
    EXPECT_EQ(iniValue(file, "General", "Version"), "v1.0");
    EXPECT_EQ(iniValue(file, "Engine.Engine", "bAllowMatureLanguage"), "False");
    EXPECT_EQ(iniValue(file, "Engine.Engine", "bUseTextureStreaming"), "True");
    EXPECT_EQ(iniValue(file, "Engine.Engine", "ShadowFilterRadius"), "32") << "0x20 in the game file";
    EXPECT_EQ(iniValue(file, "Engine.Engine", "DepthBias"), "0.012000");
    EXPECT_EQ(iniValue(file, "SystemSettings", "DetailMode"), "16");
    EXPECT_EQ(iniValue(file, "Engine.PlayerInput", "DoubleClickTime"), "0.250000");
    // 73 setting keys are always written; the movie key only for a cleared movie box.
    std::size_t keys = 0;
    for (const std::string& section : sections(file))
        if (section != "General")
            keys += entries(file, section).size();
    EXPECT_EQ(keys, 73u);
    EXPECT_EQ(iniValue(file, "FullScreenMovie", "StartupMovies"), "<missing>");
    // The game files are not touched.
    EXPECT_EQ(readBytes(gameFile("UTEngine.ini")), kSampleEngineIni);
    EXPECT_EQ(readBytes(gameFile("UTGame.ini")), kSampleGameIni);
    EXPECT_EQ(readBytes(gameFile("UTInput.ini")), kSampleInputIni);
}

TEST_F(TweakFileTest, FreshFileGetsSectionsInWriteOrder) {
    open();
    ASSERT_EQ(sections(readBytes(tweakFile())), std::vector<std::string>{"General"});
    exportNow();
    const std::string file = readBytes(tweakFile());
    EXPECT_EQ(sections(file), (std::vector<std::string>{
                                  "General", "Engine.Engine", "Engine.ISVHacks", "Engine.GameEngine",
                                  "ALAudio.ALAudioDevice", "SystemSettings", "Engine.HUD", "UTGame.UTHUD",
                                  "UTGame.UTPawn", "UTGame.UTPlayerController", "UTGame.UTDeathMessage",
                                  "UTGame.UTConsolePlayerInput", "Engine.Client", "Engine.Player",
                                  "Engine.PlayerController", "Engine.DecalManager", "Engine.PlayerInput"}));
    EXPECT_EQ(entries(file, "General"),
              (std::vector<std::string>{"CreationDate=07.12.2026, 10:31:05", "Version=v1.0"}));
    EXPECT_EQ(entries(file, "Engine.Engine"),
              (std::vector<std::string>{"bAllowMatureLanguage=False", "bUseSound=True",
                                        "bUseTextureStreaming=True", "bUseBackgroundLevelStreaming=True",
                                        "bDisablePhysXHardwareSupport=True", "ShadowFilterRadius=32",
                                        "DepthBias=0.012000", "ModShadowFadeDistanceExponent=0.200000"}));
}

TEST_F(TweakFileTest, MoviesOffPutsTheMovieSectionAfterTheAudioSection) {
    writeBytes(
        gameFile("UTEngine.ini"),
        replaced(kSampleEngineIni, "StartupMovies=UE3_logo\r\nStartupMovies=UT_intro", "StartupMovies="));
    open();
    ASSERT_FALSE(box("bPlayMoviez")->isChecked());
    exportNow();
    const std::string file = readBytes(tweakFile());
    const std::vector<std::string> found = sections(file);
    ASSERT_GE(found.size(), 7u);
    EXPECT_EQ(found[4], "ALAudio.ALAudioDevice");
    EXPECT_EQ(found[5], "FullScreenMovie");
    EXPECT_EQ(found[6], "SystemSettings");
    EXPECT_EQ(entries(file, "FullScreenMovie"), std::vector<std::string>{"StartupMovies="});
}

TEST_F(TweakFileTest, RepeatedExportKeepsBytesCreationDateAndHandEdits) {
    // A file from an earlier run, with additions of the player's own.
    writeBytes(tweakFile(), "[General]\r\n"
                            "CreationDate=01.02.2020, 03:04:05\r\n"
                            "Version=v0.9\r\n"
                            "Author=somebody\r\n"
                            "\r\n"
                            "[SystemSettings]\r\n"
                            "ResX=640\r\n"
                            "MyOwnKey=keep me\r\n"
                            "\r\n"
                            "[Notes]\r\n"
                            "Line=hello\r\n");
    open();
    exportNow();
    const std::string first = readBytes(tweakFile());
    EXPECT_EQ(entries(first, "General"), (std::vector<std::string>{"CreationDate=01.02.2020, 03:04:05",
                                                                   "Version=v1.0", "Author=somebody"}));
    EXPECT_EQ(iniValue(first, "SystemSettings", "ResX"), "1280");
    EXPECT_EQ(iniValue(first, "SystemSettings", "MyOwnKey"), "keep me");
    EXPECT_EQ(iniValue(first, "Notes", "Line"), "hello");
    EXPECT_EQ(sections(first)[2], "Notes") << "an existing section stays where it is";

    exportNow();
    EXPECT_EQ(readBytes(tweakFile()), first);
    EXPECT_EQ(shown(dialogs.take()), shown((QStringList{kExportMessage, kExportMessage})));
}

TEST_F(TweakFileTest, ExportRefusesAFieldThatIsNoIntegerBeforeWritingAnything) {
    open();
    exportNow();
    const std::string before = readBytes(tweakFile());
    dialogs.take();

    box("MotionBlur")->click();
    field("ResY")->setText(QStringLiteral("12a"));
    exportNow();
    EXPECT_EQ(shown(dialogs.take()),
              shown(QStringList{QStringLiteral("error: '12a' is not a valid integer value.")}));
    EXPECT_EQ(readBytes(tweakFile()), before) << "nothing may be written";

    field("ResY")->setText(QString());
    exportNow();
    EXPECT_EQ(shown(dialogs.take()),
              shown(QStringList{QStringLiteral("error: '' is not a valid integer value.")}));
    EXPECT_EQ(readBytes(tweakFile()), before);
}

TEST_F(TweakFileTest, ExportIntoAReadOnlyFileShowsNoSuccess) {
    open();
    makeReadOnly(tweakFile());
    const std::string before = readBytes(tweakFile());
    exportNow();
    EXPECT_EQ(shown(dialogs.take()),
              shown(QStringList{QStringLiteral("error: Unable to write to ") +
                                QString::fromStdString(tweakFile().string()) + QLatin1Char('.')}));
    EXPECT_EQ(readBytes(tweakFile()), before);
}

// ---- Import ----

TEST_F(TweakFileTest, ExportThenImportRestoresEveryControl) {
    open();
    const auto expected = changeEverything();
    const bool moviesBefore = box("bPlayMoviez")->isChecked();
    exportNow();
    dialogs.take();
    const std::string file = readBytes(tweakFile());

    reloadFromGameFiles();
    ASSERT_NE(importedControls(form()), expected);
    importFrom(tweakFile());

    EXPECT_EQ(shown(dialogs.take()),
              shown((QStringList{QStringLiteral("open file"),
                                 QStringLiteral("message: Settings were loaded from \"Knobwerk.ini\".")})));
    EXPECT_EQ(dialogs.lastDefaultSuffix, QStringLiteral("Knobwerk.ini"));
    EXPECT_EQ(importedControls(form()), expected);
    EXPECT_EQ(box("bPlayMoviez")->isChecked(), moviesBefore);
    // Every box was turned away from its game file, so every one is marked now.
    for (std::string_view name : markingWalkOrder())
        EXPECT_TRUE(bold(std::string(name).c_str())) << name;
    // The import reads only.
    EXPECT_EQ(readBytes(tweakFile()), file);
    EXPECT_EQ(readBytes(gameFile("UTEngine.ini")), kSampleEngineIni);
}

TEST_F(TweakFileTest, FileWithOnlyAVersionClearsAndMarks) {
    open();
    const auto shared = programFolder() / "shared" / "friend.ini";
    writeBytes(shared, "[General]\r\nVersion=whatever\r\n");
    importFrom(shared);

    EXPECT_EQ(shown(dialogs.take()),
              shown((QStringList{QStringLiteral("open file"),
                                 QStringLiteral("message: Settings were loaded from \"friend.ini\".")})));
    // Each value now is its kind's default: boxes the game files hold as True are marked
    // now; those held False are not.
    EXPECT_TRUE(bold("bShowHud"));
    EXPECT_FALSE(bold("bAllowMatureLanguage"));
}

TEST_F(TweakFileTest, EmptyVersionIsRejected) {
    open();
    const auto before = importedControls(form());
    const auto shared = programFolder() / "other.ini";
    writeBytes(shared, "[General]\r\nVersion=\r\n[SystemSettings]\r\nResX=640\r\nMotionBlur=False\r\n");
    importFrom(shared);
    EXPECT_EQ(shown(dialogs.take()),
              shown((QStringList{QStringLiteral("open file"),
                                 QStringLiteral("message: Not a valid Tweaksettings-File.")})));
    EXPECT_EQ(importedControls(form()), before);
}

TEST_F(TweakFileTest, CancelledDialogChangesNothing) {
    open();
    const auto before = importedControls(form());
    dialogs.fileToOpen.reset();
    form().run(&TMainform::BtnImportClick);
    EXPECT_EQ(shown(dialogs.take()),
              shown((QStringList{QStringLiteral("open file"),
                                 QStringLiteral("message: You have to choose a valid File!")})));
    EXPECT_EQ(importedControls(form()), before);

    importFrom(programFolder() / "not-there.ini");
    EXPECT_EQ(shown(dialogs.take()),
              shown((QStringList{QStringLiteral("open file"),
                                 QStringLiteral("message: File could not be found.")})));
    EXPECT_EQ(importedControls(form()), before);
}

// Shows the error box like FakeDialogs and notes, at the first one, whether bShowHud is bold.
class ErrorMomentProbe : public FakeDialogs {
public:
    void showError(const QString& text) override {
        FakeDialogs::showError(text);
        if (window && !boldAtError)
            boldAtError = window->control<QCheckBox>(QStringLiteral("bShowHud"))->font().bold();
    }
    const TMainform* window = nullptr;
    std::optional<bool> boldAtError;
};

// A second window, freshly loaded from the game files, whose error box is watched.
struct ProbedWindow {
    ProbedWindow() {
        probe.take();
        probe.window = &window;
    }

    void import(const std::filesystem::path& file) {
        probe.fileToOpen = QString::fromStdString(file.string());
        window.run(&TMainform::BtnImportClick);
    }

    // The error box came before the marking walk, and the walk ran: bShowHud, whose
    // stored value changed behind the window, is bold only after it.
    void expectErrorBeforeTheWalk() const {
        ASSERT_TRUE(probe.boldAtError.has_value());
        EXPECT_FALSE(*probe.boldAtError) << "the error box comes before the marking walk";
        EXPECT_TRUE(window.control<QCheckBox>(QStringLiteral("bShowHud"))->font().bold()) << "the walk ran";
    }

    ErrorMomentProbe probe;
    TMainform window{probe, [] { return false; }};
    const std::map<std::string, std::string> loaded = importedControls(window);
};

TEST_F(TweakFileTest, BooleanThatDoesNotConvertStopsTheImportThenMarks) {
    open();
    const auto exported = changeEverything();
    exportNow();
    // Row 13 of the export order; rows 1 to 11 are check boxes that come before it.
    const std::string file = readBytes(tweakFile());
    const std::string staticDecals = "StaticDecals=" + iniValue(file, "SystemSettings", "StaticDecals");
    writeBytes(tweakFile(), replaced(file, staticDecals, "StaticDecals=yes"));

    ProbedWindow second;
    // bShowHud comes after the bad key and keeps its state; only the marking walk can
    // show that its stored value changed meanwhile.
    writeBytes(gameFile("UTGame.ini"), replaced(kSampleGameIni, "bShowHud=True", "bShowHud=False"));
    second.import(tweakFile());

    EXPECT_EQ(shown(second.probe.take()),
              shown((QStringList{QStringLiteral("open file"),
                                 QStringLiteral("error: 'yes' is not a valid boolean value.")})));
    second.expectErrorBeforeTheWalk();

    const auto after = importedControls(second.window);
    bool beforeBadKey = true;
    for (const CatalogueRow& row : settingsCatalogue()) {
        if (row.kind == ValueKind::MovieText)
            continue;
        const std::string name(row.control);
        if (name == "StaticDecals")
            beforeBadKey = false;
        if (beforeBadKey)
            EXPECT_EQ(after.at(name), exported.at(name)) << name << " is read before the bad key";
        else
            EXPECT_EQ(after.at(name), second.loaded.at(name)) << name << " comes at or after the bad key";
    }
    EXPECT_TRUE(second.window.control<QCheckBox>(QStringLiteral("bAllowMatureLanguage"))->font().bold());
}

TEST_F(TweakFileTest, MarkingErrorWhileFillingStopsAtThatBoxThenMarks) {
    ProbedWindow second;
    // MotionBlur's game value stops converting; its box is the first the import turns
    // off after that. bShowHud comes after it, and only the walk can show its change.
    writeBytes(gameFile("UTEngine.ini"), replaced(kSampleEngineIni, "MotionBlur=True", "MotionBlur="));
    writeBytes(gameFile("UTGame.ini"), replaced(kSampleGameIni, "bShowHud=True", "bShowHud=False"));
    const auto cleared = programFolder() / "cleared.ini";
    writeBytes(cleared, "[General]\r\nVersion=v1.0\r\n");
    second.import(cleared);

    const QString error = QStringLiteral("error: '' is not a valid boolean value.");
    EXPECT_EQ(shown(second.probe.take()), shown(QStringList{QStringLiteral("open file"), error, error}))
        << "the import's stop, then the walk's at the same box";
    second.expectErrorBeforeTheWalk();

    const auto after = importedControls(second.window);
    bool filled = true;
    for (const CatalogueRow& row : settingsCatalogue()) {
        const std::string name(row.control);
        if (row.kind == ValueKind::MovieText)
            continue;
        const char* imported = row.kind == ValueKind::Boolean   ? "unchecked"
                               : row.kind == ValueKind::Integer ? "0"
                                                                : "-1";
        EXPECT_EQ(after.at(name), filled ? imported : second.loaded.at(name)) << name;
        if (name == "MotionBlur")
            filled = false; // its state was set; the import stopped at its mark
    }
}

#ifdef __linux__
// Removes a file from another thread as soon as it has been read and closed once.
class RemoveAfterFirstRead {
public:
    explicit RemoveAfterFirstRead(const std::filesystem::path& file)
        : m_fd(inotify_init1(IN_CLOEXEC)) {
        if (m_fd < 0 || inotify_add_watch(m_fd, file.c_str(), IN_CLOSE_NOWRITE) < 0)
            return;
        m_thread = std::thread([this, file] {
            pollfd wait{m_fd, POLLIN, 0};
            if (poll(&wait, 1, 10000) == 1) {
                std::filesystem::remove(file);
                m_removed = true;
            }
        });
    }
    ~RemoveAfterFirstRead() {
        if (m_thread.joinable())
            m_thread.join();
        if (m_fd >= 0)
            close(m_fd);
    }
    bool watching() const { return m_thread.joinable(); }
    bool removed() {
        if (m_thread.joinable())
            m_thread.join();
        return m_removed;
    }

private:
    int m_fd;
    std::thread m_thread;
    std::atomic<bool> m_removed{false};
};
#endif

TEST_F(TweakFileTest, FileVanishingDuringTheReadsIsReportedOnceAndChangesNothing) {
#ifndef __linux__
    GTEST_SKIP() << "needs a file watcher to remove the file between the reads";
#else
    open();
    const auto before = importedControls(form());
    const auto shared = programFolder() / "vanishing.ini";
    // A long file keeps the 73 reads busy well past the moment the watcher removes it.
    std::string content =
        "[General]\r\nVersion=v1.0\r\n[SystemSettings]\r\nResX=640\r\nMotionBlur=False\r\n[Padding]\r\n";
    for (int i = 0; i < 40000; ++i)
        content += "Filler" + std::to_string(i) + "=........................................\r\n";
    writeBytes(shared, content);

    RemoveAfterFirstRead remover(shared);
    ASSERT_TRUE(remover.watching());
    // Put back while its loss is reported: there again at the end, but read only in part.
    dialogs.whileMessageShown = [&] { writeBytes(shared, content); };
    importFrom(shared);
    ASSERT_TRUE(remover.removed());

    EXPECT_EQ(shown(dialogs.take()),
              shown((QStringList{QStringLiteral("open file"), QString::fromStdString(missing(shared))})));
    EXPECT_EQ(importedControls(form()), before);
#endif
}
