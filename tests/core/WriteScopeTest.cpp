// An operation's write scope writes each file once: the same bytes as writing each key at
// once, another program's change made meanwhile kept, and a file that cannot be written
// stopping the writes at its first key.
#include "IniHostFixture.h"
#include "MemoryValues.h"
#include "SampleGameFiles.h"
#include "inidigest/IniDigest.h"
#include "inidigest/IniEncoding.h"
#include "inidigest/IniError.h"
#include "inidigest/IniLayer.h"
#include "inidigest/IniText.h"
#include "settings/Catalogue.h"
#include "sync/SettingsSync.h"
#include "sync/StoppedLoad.h"
#include "sync/ValueCodec.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>

namespace {

using Files = std::array<std::string, 3>; // UTEngine.ini, UTGame.ini, UTInput.ini
const char* const kNames[] = {"UTEngine.ini", "UTGame.ini", "UTInput.ini"};

std::string withEnds(std::string text, const std::string& end) {
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += end.size())
        text.replace(at, 2, end);
    return text;
}

std::string utf16(const std::string& text, iniencoding::Encoding encoding) {
    return iniencoding::encode(text, encoding);
}

struct SampleSet {
    const char* name;
    Files (*files)();
};

const SampleSet kSets[] = {
    {"Bundled",
     [] {
         return Files{kBundledEngineIni, kBundledGameIni, kBundledInputIni};
     }},
    {"Sample",
     [] {
         return Files{kSampleEngineIni, kSampleGameIni, kSampleInputIni};
     }},
    // A mark, other line ends, no last line end, names in other cases and blanks, keys
    // and sections to add.
    {"Quirky",
     [] {
         return Files{"\xEF\xBB\xBF" + withEnds(replaced(kSampleEngineIni, "MotionBlur=True\r\n", ""), "\n"),
                      withEnds(replaced(kSampleGameIni, "[Engine.HUD]", " [engine.hud] "), "\r"),
                      replaced(kSampleInputIni, "[Engine.PlayerInput]", "[Engine.PlayerInputs]") +
                          "; no line end"};
     }},
    // As editors and converters leave them.
    {"ThirdParty",
     [] {
         return Files{utf16(kSampleEngineIni, iniencoding::Encoding::Utf16Le),
                      utf16(kSampleGameIni, iniencoding::Encoding::Utf16BeUnmarked), "; converted\n"};
     }},
};

class WriteScope : public testing::TestWithParam<SampleSet> {
protected:
    std::filesystem::path file(int i) const { return ini.gameFile(kNames[i]); }
    void put(const Files& files) const {
        for (int i = 0; i < 3; ++i)
            writeBytes(file(i), files[i]);
    }
    Files current() const { return {readBytes(file(0)), readBytes(file(1)), readBytes(file(2))}; }

    ScopedIniHost ini;
};

// Every box flipped from the samples' mostly set ones, every field a number of its row.
MemoryValues everyKeyChanged() {
    MemoryValues values;
    for (std::size_t i = 0; i < settingsCatalogue().size(); ++i)
        values.texts[std::string(settingsCatalogue()[i].control)] = std::to_string(i);
    return values;
}

TEST_P(WriteScope, SaveStoresTheBytesOfWritingEachKeyAtOnce) {
    const Files original = GetParam().files();
    const MemoryValues values = everyKeyChanged();
    put(original);
    settingsync::saveToGameFiles(values, StoppedLoad());
    const Files saved = current();
    put(original);
    for (const CatalogueRow& row : settingsCatalogue())
        codecOf(row.kind).write(row.target, row, values);
    EXPECT_EQ(saved, current());
    EXPECT_NE(saved, original);
    EXPECT_TRUE(ini.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Samples, WriteScope, testing::ValuesIn(kSets),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WriteScopeRace, AnotherProgramsChangeMeanwhileIsKeptAndTheKeysAppliedToIt) {
    ScopedIniHost ini;
    ini.writeSampleGameFiles();
    const std::string theirs = kSampleEngineIni + "[Added]\r\nByTheGame=1\r\n";
    IniWriteScope scope;
    WriteIniString(EngineIni, "SystemSettings", "ResX", "800");
    EXPECT_EQ(ReadIniString(EngineIni, "SystemSettings", "ResX"), "800") << "reads see the keys written";
    // The game rewrites the file; finished long ago, as far as its time tells.
    writeBytes(ini.gameFile("UTEngine.ini"), theirs);
    std::filesystem::last_write_time(ini.gameFile("UTEngine.ini"),
                                     std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    WriteIniString(EngineIni, "SystemSettings", "ResY", "600");
    scope.finish();
    EXPECT_EQ(readBytes(ini.gameFile("UTEngine.ini")),
              initext::writeValue(initext::writeValue(theirs, "SystemSettings", "ResX", "800"),
                                  "SystemSettings", "ResY", "600"));
}

TEST(WriteScopeStop, AFileThatCannotBeWrittenStopsTheWritesAtItsFirstKey) {
    ScopedIniHost ini;
    ini.writeSampleGameFiles();
    IniWriteScope scope;
    WriteIniString(EngineIni, "SystemSettings", "ResX", "800");
    WriteIniString(GameIni, "Engine.HUD", "HudCanvasScale", "0.5");
    WriteIniString(EngineIni, "SystemSettings", "ResY", "600");
    WriteIniString(InputIni, "Engine.PlayerInput", "DoubleClickTime", "0.3");
    makeReadOnly(ini.gameFile("UTGame.ini"));
    try {
        scope.finish();
        ADD_FAILURE() << "the read-only file was written";
    } catch (const IniError& error) {
        EXPECT_EQ(error.what(), "Unable to write to " + ini.gameFile("UTGame.ini").string());
    }
    makeWritable(ini.gameFile("UTGame.ini"));
    EXPECT_EQ(readBytes(ini.gameFile("UTEngine.ini")),
              initext::writeValue(kSampleEngineIni, "SystemSettings", "ResX", "800"));
    EXPECT_EQ(readBytes(ini.gameFile("UTGame.ini")), kSampleGameIni);
    EXPECT_EQ(readBytes(ini.gameFile("UTInput.ini")), kSampleInputIni);
}

} // namespace
