// Saving a settings file that another program is reading at that moment: the game, a
// text editor or a virus scanner may hold it open while the player saves.
#include "platform/ErrorText.h"
#include "platform/FileStore.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
// The system's own text for ERROR_ACCESS_DENIED, as Windows (or Wine) words it.
std::string accessDeniedText() {
    char text[256] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        ERROR_ACCESS_DENIED, 0, text, sizeof text, nullptr);
    std::string words(text, length);
    while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == ' '))
        words.pop_back();
    return words;
}
#endif

// Old content far larger than any stream buffer, so a reader that has taken only its
// first bytes must fetch the rest from the file after the replacement.
std::string oldContent() {
    std::string text = "[SystemSettings]\r\n";
    for (int i = 0; text.size() < 256 * 1024; ++i)
        text += "OldKey" + std::to_string(i) + "=" + std::to_string(i * 7) + "\r\n";
    return text;
}

std::size_t entriesIn(const fs::path& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class FileReplace : public testing::Test {
protected:
    void SetUp() override { writeBytes(file, kOld); }

    const std::string kOld = oldContent();
    TempFolder temp;
    const fs::path file = temp.path() / "UTEngine.ini";
};

TEST_F(FileReplace, SucceedsWhileAReaderHasTheFileOpen) {
    std::ifstream reader(file, std::ios::binary);
    ASSERT_TRUE(reader);
    std::string head(16, '\0');
    ASSERT_TRUE(reader.read(head.data(), static_cast<std::streamsize>(head.size())));

    const std::string updated = "[SystemSettings]\r\nMotionBlur=False\r\n";
    const std::error_code error = filestore::replaceFile(file, updated);
#ifdef _WIN32
    // Windows will not swap a file that a reader holds open: the save fails, whole.
    if (error) {
        reader.close();
        EXPECT_TRUE(readBytes(file) == kOld) << "a refused save changed the file";
        EXPECT_EQ(entriesIn(temp.path()), 1u) << "no temporary file left behind";
        return;
    }
#endif
    ASSERT_FALSE(error) << error.message();

    EXPECT_EQ(readBytes(file), updated) << "a new reader sees the new content";
    EXPECT_EQ(entriesIn(temp.path()), 1u) << "no temporary file left behind";

#ifndef _WIN32
    // The file is swapped, never rewritten in place: the reader goes on reading the
    // complete old content it opened.
    const std::string rest{std::istreambuf_iterator<char>(reader), std::istreambuf_iterator<char>()};
    EXPECT_TRUE(head + rest == kOld) << "the open reader saw " << head.size() + rest.size()
                                     << " bytes instead of the old " << kOld.size();
#endif
}

TEST_F(FileReplace, RepeatedSavesWhileTheReaderStaysOpen) {
    std::ifstream reader(file, std::ios::binary);
    ASSERT_TRUE(reader);
    ASSERT_NE(reader.get(), std::char_traits<char>::eof());

    // Each save is shorter than the one before, so stale bytes at the end would show.
    std::string expected;
    for (const char* value : {"1920", "800", "0"}) {
        expected = std::string("[SystemSettings]\r\nResX=") + value + "\r\n";
        const std::error_code error = filestore::replaceFile(file, expected);
#ifdef _WIN32
        if (error)
            GTEST_SKIP() << "Windows refuses to swap a file a reader holds open (checked above)";
#endif
        ASSERT_FALSE(error) << "saving ResX=" << value << ": " << error.message();
        EXPECT_EQ(readBytes(file), expected);
    }
    EXPECT_EQ(entriesIn(temp.path()), 1u);
    EXPECT_TRUE(filestore::readFile(file).ok);
}

TEST_F(FileReplace, ReadOnlyFileIsRefusedEvenWithAReaderInTheSystemsOwnWords) {
    makeReadOnly(file);
    std::ifstream reader(file, std::ios::binary);
    ASSERT_TRUE(reader);

    const std::error_code error = filestore::replaceFile(file, "[SystemSettings]\r\n");
#ifdef _WIN32
    // GetLastError's code and the system's text, not the C runtime's EACCES (13).
    EXPECT_EQ(errortext::systemError(error), "System Error.  Code: 5.\r\n" + accessDeniedText());
    EXPECT_NE(errortext::describe(error), std::generic_category().message(EACCES));
#else
    EXPECT_EQ(errortext::systemError(error), "System Error.  Code: 13.\r\nPermission denied");
#endif
    reader.close();
    EXPECT_TRUE(readBytes(file) == kOld) << "the read-only file was changed";
    EXPECT_EQ(entriesIn(temp.path()), 1u);
}

TEST_F(FileReplace, TheProgramsOwnReadOnlyFileIsReplacedWhole) {
    makeReadOnly(file);
    const std::string updated = "[SystemSettings]\r\nMotionBlur=False\r\n";
    filestore::Replacement replacement(file, updated, &file, filestore::Ownership::Program);
    ASSERT_FALSE(replacement.error()) << replacement.error().message();
    EXPECT_TRUE(readBytes(file) == kOld) << "changed before the commit";
    ASSERT_FALSE(replacement.commit()) << "a backup refused its previous generation";
    EXPECT_EQ(readBytes(file), updated);
#ifndef _WIN32
    // As private as the file it copies (Windows' new files take their folder's rules).
    EXPECT_TRUE(filestore::readFile(file).readOnly) << "a copy of a read-only file stays read-only";
#endif
    EXPECT_EQ(entriesIn(temp.path()), 1u);
}

} // namespace

namespace {

// A write killed half-way leaves its temporary file; the next start clears it away.
TEST(StaleTemporaries, LeftoversOfAKilledWriteAreRemovedOthersKept) {
    TempFolder temp;
    const fs::path target = temp.path() / "UTGame.ini";
    writeBytes(target, "[Engine.HUD]\r\n");
    const fs::path stale = temp.path() / "UTGame.ini.knobwerk-123.tmp";
    const fs::path fresh = temp.path() / "UTGame.ini.knobwerk-456.tmp";
    const fs::path foreign = temp.path() / "UTEngine.ini.knobwerk-789.tmp";
    const fs::path players = temp.path() / "UTGame.ini.tmp";
    for (const fs::path& file : {stale, fresh, foreign, players})
        writeBytes(file, "partial");
    fs::last_write_time(stale, fs::file_time_type::clock::now() - std::chrono::hours(1));
    fs::last_write_time(foreign, fs::file_time_type::clock::now() - std::chrono::hours(1));

    filestore::removeStaleTemporaries(target);
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(fresh)) << "may belong to a write still under way";
    EXPECT_TRUE(fs::exists(foreign)) << "belongs to another file";
    EXPECT_TRUE(fs::exists(players));
    EXPECT_EQ(readBytes(target), "[Engine.HUD]\r\n");
}

} // namespace
