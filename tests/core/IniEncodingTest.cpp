// Files the game wrote in UTF-16 are read and written in UTF-16, keeping every line a
// write does not change; a UTF-8 mark is kept too.
#include "inidigest/IniEncoding.h"
#include "IniHostFixture.h"
#include "inidigest/IniDigest.h"
#include "inidigest/IniError.h"

#include <gtest/gtest.h>

namespace {

// UTF-16 bytes of `text`, little-endian unless `bigEndian`, with the mark when `mark` is set.
std::string utf16(const std::u16string& text, bool mark = true, bool bigEndian = false) {
    std::string bytes;
    for (char16_t c : (mark ? u"\uFEFF" : u"") + text) {
        const char low = static_cast<char>(c & 0xFF);
        const char high = static_cast<char>(c >> 8);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

TEST(IniEncoding, Utf16RoundTripsEveryUnitEvenDamagedOnes) {
    const std::u16string text = u"[Sect]\r\nName=Caf\u00e9 \u4e2d\U0001F600\r\n\xD800 lone\r\n";
    const std::string bytes = utf16(text);
    const auto decoded = iniencoding::decode(bytes);
    EXPECT_EQ(decoded.encoding, iniencoding::Encoding::Utf16Le);
    EXPECT_EQ(iniencoding::encode(decoded.text, decoded.encoding), bytes);
    EXPECT_NE(decoded.text.find("Name=Caf\xC3\xA9"), std::string::npos);
}

TEST(IniEncoding, EightBitFilesPassThrough) {
    for (const std::string& bytes : {std::string("[A]\r\nk=\xE9\r\n"), std::string("\xEF\xBB\xBF[A]\r\n")}) {
        const auto decoded = iniencoding::decode(bytes);
        EXPECT_EQ(decoded.encoding, iniencoding::Encoding::EightBit);
        EXPECT_EQ(iniencoding::encode(decoded.text, decoded.encoding), bytes);
    }
}

TEST(IniEncoding, CutOffUtf16FileStaysUtf16) {
    const std::string bytes = utf16(u"[A]\r\nk=1\r\n") + "\x0D";
    const auto decoded = iniencoding::decode(bytes);
    EXPECT_EQ(decoded.encoding, iniencoding::Encoding::Utf16Le);
    EXPECT_EQ(decoded.text, "[A]\r\nk=1\r\n");
}

TEST(IniEncoding, AccessLayerReadsAndWritesUtf16Files) {
    ScopedIniHost ini;
    const std::u16string before = u"; \u00dcbersetzt\r\n[SystemSettings]\r\nMotionBlur=True\r\nResX=1280\r\n";
    writeBytes(ini.gameFile("UTEngine.ini"), utf16(before));
    EXPECT_TRUE(ReadIniBool(EngineIni, "SystemSettings", "MotionBlur"));
    EXPECT_EQ(ReadIniInteger(EngineIni, "SystemSettings", "ResX"), "1280");

    WriteIniBool(EngineIni, "SystemSettings", "MotionBlur", false);
    WriteIniString(EngineIni, "SystemSettings", "Gamma", "2.2");
    const std::u16string after =
        u"; \u00dcbersetzt\r\n[SystemSettings]\r\nMotionBlur=False\r\nResX=1280\r\nGamma=2.2\r\n";
    EXPECT_EQ(readBytes(ini.gameFile("UTEngine.ini")), utf16(after));
}

// Editors and converters also leave UTF-16 big-endian files and UTF-16 without a mark:
// read like the game's own, written back in their own form, never with 8-bit lines.
TEST(IniEncoding, BigEndianAndUnmarkedUtf16AreReadAndWrittenInTheirOwnForm) {
    const std::u16string before =
        u"; \u00dcbersetzt \u65e5\u672c\r\n[SystemSettings]\r\nMotionBlur=True\r\nResX=1280\r\n";
    const std::u16string after =
        u"; \u00dcbersetzt "
        u"\u65e5\u672c\r\n[SystemSettings]\r\nMotionBlur=False\r\nResX=1280\r\nGamma=2.2\r\n";
    for (const auto& [mark, bigEndian] : {std::pair{true, true}, {false, false}, {false, true}}) {
        SCOPED_TRACE(std::string(mark ? "marked" : "unmarked") +
                     (bigEndian ? " big-endian" : " little-endian"));
        ScopedIniHost ini;
        writeBytes(ini.gameFile("UTEngine.ini"), utf16(before, mark, bigEndian));
        EXPECT_TRUE(ReadIniBool(EngineIni, "SystemSettings", "MotionBlur"));
        EXPECT_EQ(ReadIniInteger(EngineIni, "SystemSettings", "ResX"), "1280");

        WriteIniBool(EngineIni, "SystemSettings", "MotionBlur", false);
        WriteIniString(EngineIni, "SystemSettings", "Gamma", "2.2");
        EXPECT_EQ(readBytes(ini.gameFile("UTEngine.ini")), utf16(after, mark, bigEndian));
    }
}

TEST(IniEncoding, Utf8MarkIsKeptOnWrite) {
    ScopedIniHost ini;
    writeBytes(ini.gameFile("UTGame.ini"), "\xEF\xBB\xBF[Engine.HUD]\r\nbShowHud=True\r\n");
    EXPECT_TRUE(ReadIniBool(GameIni, "Engine.HUD", "bShowHud"));
    WriteIniBool(GameIni, "Engine.HUD", "bShowHud", false);
    EXPECT_EQ(readBytes(ini.gameFile("UTGame.ini")), "\xEF\xBB\xBF[Engine.HUD]\r\nbShowHud=False\r\n");
}

} // namespace
