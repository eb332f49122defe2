// The INI rules on bytes: what a read finds and what a write changes, compared as whole files.
#include "inidigest/IniText.h"

#include <gtest/gtest.h>

#include <ostream>

using initext::readValue;
using initext::writeValue;

namespace {

const std::string kEngine = "; engine settings\r\n"
                            "[Engine.Engine]\r\n"
                            "bUseSound=True\r\n"
                            "  ShadowFilterRadius =  2  \r\n"
                            "DepthBias=\"0.012\"\r\n"
                            "; bSmoothFrameRate=False\r\n"
                            "Empty=\r\n"
                            "\r\n"
                            "[FullScreenMovie]\r\n"
                            "StartupMovies=Intro\r\n"
                            "StartupMovies=Logo\r\n"
                            "\r\n"
                            "[SystemSettings]\r\n"
                            "MotionBlur=True\r\n"
                            "[Engine.Engine]\r\n"
                            "LaterDuplicate=1\r\n";

struct ReadCase {
    const char* name;
    const char* section;
    const char* key;
    std::optional<std::string> expected;
};

void PrintTo(const ReadCase& c, std::ostream* out) {
    *out << "[" << c.section << "] " << c.key << " -> " << c.expected.value_or("missing");
}

class IniTextRead : public testing::TestWithParam<ReadCase> {};

TEST_P(IniTextRead, FindsValueAsPrivateProfileReadsIt) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(readValue(kEngine, c.section, c.key), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniTextRead,
    testing::Values(
        ReadCase{"plainValue", "Engine.Engine", "bUseSound", "True"},
        ReadCase{"blanksAroundNameAndValueAreTrimmed", "Engine.Engine", "ShadowFilterRadius", "2"},
        ReadCase{"namesIgnoreLetterCase", "engine.ENGINE", "BUSESOUND", "True"},
        ReadCase{"callersNamesAreTrimmed", " Engine.Engine\t", " bUseSound ", "True"},
        ReadCase{"enclosingQuotesRemovedOnce", "Engine.Engine", "DepthBias", "0.012"},
        ReadCase{"commentLineNeverMatches", "Engine.Engine", "bSmoothFrameRate", std::nullopt},
        ReadCase{"emptyValueIsEmptyNotMissing", "Engine.Engine", "Empty", ""},
        ReadCase{"repeatedKeyGivesFirst", "FullScreenMovie", "StartupMovies", "Intro"},
        ReadCase{"keyOfOtherSectionNotFound", "SystemSettings", "bUseSound", std::nullopt},
        ReadCase{"laterHeadingOfSameNameIgnored", "Engine.Engine", "LaterDuplicate", std::nullopt},
        ReadCase{"missingSection", "Nowhere", "bUseSound", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IniTextRead, QuotesAndLengthRules) {
    EXPECT_EQ(readValue("[S]\nk='x'\n", "S", "k"), "x");
    EXPECT_EQ(readValue("[S]\nk=\"\"\n", "S", "k"), "");
    EXPECT_EQ(readValue("[S]\nk=\"x'\n", "S", "k"), "\"x'") << "mismatched quotes stay";
    EXPECT_EQ(readValue("[S]\nk=\"\n", "S", "k"), "\"") << "a single quote character is no pair";
    EXPECT_EQ(readValue("[S]\nk=a=b\n", "S", "k"), "a=b") << "value starts after the first equals sign";
    EXPECT_EQ(readValue("[S]\nk=x ; not a comment\n", "S", "k"), "x ; not a comment");
    EXPECT_EQ(readValue("[S]\n#k=1\n", "S", "#k"), "1") << "# is not special";
    EXPECT_EQ(readValue("[S]\nk=" + std::string(5000, 'v') + "\n", "S", "k")->size(),
              initext::kMaxValueLength);
}

TEST(IniTextRead, HeadingsAndLineEnds) {
    EXPECT_EQ(readValue("  [ S ] trailing text\nk=1", "S", "k"), "1");
    EXPECT_EQ(readValue("[A]x]\nk=1", "A]x", "k"), "1") << "name runs to the last ]";
    EXPECT_EQ(readValue("k=0\n[S]\nk=1", "", "k"), std::nullopt)
        << "lines before a heading are in no section";
    EXPECT_EQ(readValue("[S]\rk=cr\r[T]\rk=x", "S", "k"), "cr") << "a lone CR ends a line";
    EXPECT_EQ(readValue("\xEF\xBB\xBF[S]\r\nk=1\r\n", "S", "k"), "1")
        << "UTF-8 mark is not part of the heading";
    EXPECT_EQ(readValue("[S]\nnoequals\nk=2", "S", "noequals"), std::nullopt);
}

TEST(IniTextWrite, ReplacesOnlyTheFirstMatchingLine) {
    const std::string out = writeValue(kEngine, "FULLSCREENMOVIE", "startupmovies", "");
    std::string expected = kEngine;
    expected.replace(expected.find("StartupMovies=Intro"), 19, "StartupMovies=");
    EXPECT_EQ(out, expected);
}

TEST(IniTextWrite, KeepsTheFilesSpellingAndDropsBlanks) {
    const std::string out = writeValue(kEngine, "Engine.Engine", "shadowfilterradius", "4");
    std::string expected = kEngine;
    expected.replace(expected.find("  ShadowFilterRadius =  2  "), 27, "ShadowFilterRadius=4");
    EXPECT_EQ(out, expected);
}

TEST(IniTextWrite, NewKeyGoesAfterLastNonBlankLineOfItsSection) {
    const std::string out = writeValue(kEngine, "FullScreenMovie", "SkipMovies", "True");
    std::string expected = kEngine;
    expected.insert(expected.find("StartupMovies=Logo\r\n") + 20, "SkipMovies=True\r\n");
    EXPECT_EQ(out, expected);
}

TEST(IniTextWrite, NewKeyGoesIntoFirstOfDuplicateSections) {
    const std::string out = writeValue(kEngine, "Engine.Engine", "LaterDuplicate", "2");
    EXPECT_EQ(readValue(out, "Engine.Engine", "LaterDuplicate"), "2");
    EXPECT_LT(out.find("LaterDuplicate=2"), out.find("[FullScreenMovie]"));
    EXPECT_NE(out.find("LaterDuplicate=1"), std::string::npos);
}

TEST(IniTextWrite, NewSectionIsAppendedWithoutBlankLine) {
    EXPECT_EQ(writeValue("[A]\r\nx=1\r\n", "B", "y", "2"), "[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
    EXPECT_EQ(writeValue("[A]\nx=1", "B", "y", "2"), "[A]\nx=1\r\n[B]\r\ny=2\r\n")
        << "an open last line is closed with CR LF first";
    EXPECT_EQ(writeValue("", " General ", " Version ", "v1.0"), "[General]\r\nVersion=v1.0\r\n");
}

TEST(IniTextWrite, OpenLastLineOfSectionIsClosedBeforeNewKey) {
    EXPECT_EQ(writeValue("[A]\nx=1", "A", "y", "2"), "[A]\nx=1\r\ny=2\r\n");
    EXPECT_EQ(writeValue("[A]", "A", "y", "2"), "[A]\r\ny=2\r\n");
}

TEST(IniTextWrite, UntouchedLinesKeepTheirOwnLineEnds) {
    const std::string mixed = "[A]\nx=1\r\ny=2\rz=3\n";
    EXPECT_EQ(writeValue(mixed, "A", "y", "9"), "[A]\nx=1\r\ny=9\r\nz=3\n");
}

TEST(IniTextWrite, ValueLineBreaksCannotInjectLines) {
    const std::string out = writeValue("[A]\r\nx=1\r\n", "A", "x", "2\r\n[Evil]\nk=v");
    EXPECT_EQ(out, "[A]\r\nx=2[Evil]k=v\r\n");
}

TEST(IniTextWrite, KeepsUtf8MarkAndFindsFirstHeading) {
    const std::string bom = "\xEF\xBB\xBF";
    EXPECT_EQ(writeValue(bom + "[A]\r\nx=1\r\n", "A", "x", "2"), bom + "[A]\r\nx=2\r\n");
}

TEST(IniTextWrite, WriteThenReadGivesTheValue) {
    for (const char* value : {"", "0", "35.000000", "a b", "x=y"}) {
        const std::string out = writeValue(kEngine, "SystemSettings", "MotionBlur", value);
        EXPECT_EQ(readValue(out, "SystemSettings", "MotionBlur"), value);
    }
}

} // namespace
