// Saving a settings file that another program is reading at that moment: the game, a
// text editor or a virus scanner may hold it open while the player saves.
#include "platform/FileStore.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

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

TEST_F(FileReplace, ReadOnlyFileIsRefusedEvenWithAReader) {
    makeReadOnly(file);
    std::ifstream reader(file, std::ios::binary);
    ASSERT_TRUE(reader);

    EXPECT_EQ(filestore::replaceFile(file, "[SystemSettings]\r\n"),
              std::make_error_code(std::errc::permission_denied));
    reader.close();
    EXPECT_TRUE(readBytes(file) == kOld) << "the read-only file was changed";
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
