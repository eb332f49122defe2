// Text conventions of the INI values: the integer syntax, the float syntax of the edit
// fields and the lenient boolean read, at their boundaries.
#include "inidigest/IniValues.h"
#include "inidigest/IniError.h"

#include "CaseNames.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace inivalues;

namespace {

struct IntegerCase {
    const char* text;
    std::optional<std::int32_t> expected;
};

void PrintTo(const IntegerCase& c, std::ostream* out) {
    *out << '"' << c.text << "\" -> " << (c.expected ? std::to_string(*c.expected) : "refused");
}

class IntegerSyntax : public testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerSyntax, ParsesOrRefuses) {
    EXPECT_EQ(parseInteger(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, IntegerSyntax,
    testing::Values(IntegerCase{"2147483647", 2147483647}, IntegerCase{"-2147483648", INT32_MIN},
                    IntegerCase{"2147483648", std::nullopt}, IntegerCase{"-2147483649", std::nullopt},
                    IntegerCase{"99999999999999999999", std::nullopt}, IntegerCase{"$FFFFFFFF", -1},
                    IntegerCase{"-$FFFFFFFF", 1}, IntegerCase{"0x1F", 31}, IntegerCase{"0X1f", 31},
                    IntegerCase{"x10", 16}, IntegerCase{"X10", 16}, IntegerCase{"$10", 16},
                    IntegerCase{"0x0", 0}, IntegerCase{"$100000000", std::nullopt},
                    IntegerCase{"0x", std::nullopt}, IntegerCase{"$", std::nullopt}, IntegerCase{" 7", 7},
                    IntegerCase{"   +12", 12}, IntegerCase{"016", 16}, IntegerCase{"-0", 0},
                    IntegerCase{"7 ", std::nullopt}, IntegerCase{"\t7", std::nullopt},
                    IntegerCase{"+-1", std::nullopt}, IntegerCase{"-", std::nullopt},
                    IntegerCase{"", std::nullopt}, IntegerCase{" ", std::nullopt},
                    IntegerCase{"2.000000", std::nullopt}, IntegerCase{"abc", std::nullopt},
                    IntegerCase{"1e3", std::nullopt}),
    [](const auto& info) { return caseName(info.param.text); });

struct FloatCase {
    const char* text;
    bool valid;
};

void PrintTo(const FloatCase& c, std::ostream* out) {
    *out << '"' << c.text << "\" -> " << (c.valid ? "accepted" : "refused");
}

class FloatSyntax : public testing::TestWithParam<FloatCase> {};

TEST_P(FloatSyntax, AcceptsOrRefuses) {
    EXPECT_EQ(isFloatText(GetParam().text), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(Boundaries, FloatSyntax,
                         testing::Values(FloatCase{"1.5e-3", true}, FloatCase{"-.5", true},
                                         FloatCase{"5.", true}, FloatCase{".", true}, FloatCase{"e3", true},
                                         FloatCase{"  35.000000", true}, FloatCase{"+1E+10", true},
                                         FloatCase{"007", true}, FloatCase{"1,5", false},
                                         FloatCase{"1e", false}, FloatCase{"1.2.3", false},
                                         FloatCase{"$10", false}, FloatCase{"0x10", false},
                                         FloatCase{"INF", false}, FloatCase{"NAN", false},
                                         FloatCase{"", false}, FloatCase{"   ", false}, FloatCase{"-", false},
                                         FloatCase{"1 ", false}, FloatCase{"\t1", false}),
                         [](const auto& info) { return caseName(info.param.text); });

TEST(BooleanRead, NumbersAndWords) {
    EXPECT_TRUE(parseBoolean("1", '.'));
    EXPECT_FALSE(parseBoolean("0", '.'));
    EXPECT_TRUE(parseBoolean("-2", '.'));
    EXPECT_FALSE(parseBoolean("0.000", '.'));
    EXPECT_TRUE(parseBoolean("0.5", '.'));
    EXPECT_FALSE(parseBoolean("0e5", '.')) << "a zero mantissa stays zero";
    EXPECT_TRUE(parseBoolean("true", '.'));
    EXPECT_TRUE(parseBoolean("TRUE", '.'));
    EXPECT_FALSE(parseBoolean("False", '.'));
    EXPECT_FALSE(parseBoolean("FALSE", '.'));
}

TEST(BooleanRead, NumbersFollowTheLocalesDecimalSeparator) {
    EXPECT_TRUE(parseBoolean("0,5", ','));
    EXPECT_THROW(parseBoolean("0,5", '.'), IniError);
}

TEST(BooleanRead, AnythingElseIsAConversionError) {
    for (const char* text : {"yes", "", "on", ".", "1 1"}) {
        try {
            parseBoolean(text, '.');
            ADD_FAILURE() << "accepted " << text;
        } catch (const IniError& error) {
            EXPECT_EQ(error.what(), "'" + std::string(text) + "' is not a valid boolean value");
        }
    }
}

TEST(IntegerWrite, StrictConversionNamesTheText) {
    EXPECT_EQ(toIntegerStrict("$10"), 16);
    try {
        toIntegerStrict("abc");
        ADD_FAILURE();
    } catch (const IniError& error) {
        EXPECT_STREQ(error.what(), "'abc' is not a valid integer value");
    }
    EXPECT_THROW(toIntegerStrict(""), IniError);
}

} // namespace
