#include "common/numberformat.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace dyma;

struct FormatCase {
    const char* pattern;
    double value;
    const char* dot;    // with '.' as separator
};

class PictureFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(PictureFormat, MatchesOnBothSeparators) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(FormatFloat(c.pattern, c.value, '.'), c.dot) << c.pattern << " " << c.value;
    std::string comma = c.dot;
    for (char& ch : comma)
        if (ch == '.') ch = ',';
    EXPECT_EQ(FormatFloat(c.pattern, c.value, ','), comma) << c.pattern << " " << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, PictureFormat,
    ::testing::Values(
        // halves round away from zero on the decimal value the user sees
        FormatCase{"0.0", 0.05, "0.1"}, FormatCase{"0.0", -0.05, "-0.1"}, FormatCase{"0.000", 12.3455, "12.346"},
        FormatCase{"0.0", 0.15, "0.2"}, FormatCase{"0", 2.5, "3"}, FormatCase{"0", -2.5, "-3"},
        FormatCase{"0", 0.4, "0"}, FormatCase{"0.0", -0.04, "0.0"},  // no "-0.0"
        FormatCase{"0.0", 9.96, "10.0"}, FormatCase{"0.000", 99.9999, "100.000"},
        FormatCase{"00", 3, "03"}, FormatCase{"00", 123, "123"}, FormatCase{"0.00", 4, "4.00"},
        FormatCase{".000", 0.5, ".500"}, FormatCase{".000", -0.25, "-.250"}, FormatCase{".000", 12.3456, "12.346"},
        FormatCase{".000", 0.0, ".000"}, FormatCase{".0", 70, "70.0"}, FormatCase{".0", 0.5, ".5"},
        FormatCase{".0", 0.7, ".7"}, FormatCase{".0", 1.0, "1.0"},
        FormatCase{"#0.000", -0.65, "-0.650"}, FormatCase{"#0.000", 850.5, "850.500"},
        FormatCase{"##0.000", 2.5, "2.500"}, FormatCase{"0.0", 359.96, "360.0"},
        FormatCase{"0.0E+0", 12345, "1.2E+4"}, FormatCase{"0.0E+0", 0.000123, "1.2E-4"},
        FormatCase{"0.0E+0", 0, "0.0E+0"}, FormatCase{"0.0E+0", 9.96, "1.0E+1"},
        FormatCase{"0.00e+00", 1234.5, "1.23e+03"}, FormatCase{"0.00e+00", -0.00015, "-1.50e-04"},
        FormatCase{"0.00;-0.00", -3.14159, "-3.14"}, FormatCase{"0.00;(0.00)", -3.14159, "(3.14)"},
        FormatCase{"0.0;-0.0;'zero'", 0, "zero"}, FormatCase{"0.0\" km\"", 1.25, "1.3 km"}));

TEST(FloatToStr, ShortestFormWithFifteenDigits) {
    EXPECT_EQ(FloatToStr(12.5, '.'), "12.5");
    EXPECT_EQ(FloatToStr(12.5, ','), "12,5");
    EXPECT_EQ(FloatToStr(0.1 + 0.2, '.'), "0.3");
    EXPECT_EQ(FloatToStr(-500, '.'), "-500");
    EXPECT_EQ(FloatToStr(0, '.'), "0");
    EXPECT_EQ(FloatToStr(0.0001, '.'), "0.0001");
    EXPECT_EQ(FloatToStr(0.00001, '.'), "1E-5");
    EXPECT_EQ(FloatToStr(-1.5e-7, ','), "-1,5E-7");
    EXPECT_EQ(FloatToStr(123456789012345.0, '.'), "123456789012345");
    EXPECT_EQ(FloatToStr(1.5e20, '.'), "1.5E20");
    EXPECT_EQ(FloatToStr(45351.5, '.'), "45351.5");
}

TEST(FloatToStr, RoundTripsThroughParseNumber) {
    for (double v : {1e-300, -2.2250738585072014e-308, 3.14159265358979, 12345.678, 1e15, -0.000123456789}) {
        for (char sep : {'.', ','}) {
            const double back = ParseNumber(FloatToStr(v, sep), sep);
            EXPECT_NEAR(back, v, std::fabs(v) * 1e-14) << FloatToStr(v, sep);
        }
    }
}

TEST(ParseNumber, ToleratesEitherSeparatorAndBlanks) {
    for (char sep : {'.', ','}) {
        EXPECT_DOUBLE_EQ(ParseNumber("12.5", sep), 12.5);
        EXPECT_DOUBLE_EQ(ParseNumber("12,5", sep), 12.5);
        EXPECT_DOUBLE_EQ(ParseNumber("  7 ", sep), 7.0);
        EXPECT_DOUBLE_EQ(ParseNumber("", sep), 0.0);
        EXPECT_DOUBLE_EQ(ParseNumber("   ", sep), 0.0);
        EXPECT_DOUBLE_EQ(ParseNumber("-1E-5", sep), -1e-5);
        EXPECT_DOUBLE_EQ(ParseNumber("+3", sep), 3.0);
        EXPECT_DOUBLE_EQ(ParseNumber(".5", sep), 0.5);
    }
}

TEST(ParseNumber, RejectsTextThatIsNoNumber) {
    for (const char* bad : {"abc", "12.5.3", "1,234.5", "1e", "inf", "nan", "0x10", "- 5", "5 5", "--1"}) {
        try {
            ParseNumber(bad, ',');
            ADD_FAILURE() << bad << " parsed";
        } catch (const ConversionError& e) {
            EXPECT_NE(std::string(e.what()).find(Trim(bad)), std::string::npos) << "message names the text";
        }
    }
}

TEST(CheckNumberField, EmptyPassesForeignSeparatorAccepted) {
    EXPECT_TRUE(CheckNumberField("", ','));
    EXPECT_TRUE(CheckNumberField("  ", '.'));
    EXPECT_TRUE(CheckNumberField("12.5", ','));
    EXPECT_TRUE(CheckNumberField("12,5", '.'));
    EXPECT_TRUE(CheckNumberField("1e3", '.'));  // upper-cased first
    EXPECT_TRUE(CheckNumberField("5000.5", '.'));
    EXPECT_FALSE(CheckNumberField("12a", '.'));
    EXPECT_FALSE(CheckNumberField("1.2.3", ','));
}

TEST(StrToInt, WholeNumbersOnly) {
    EXPECT_EQ(StrToInt("5000"), 5000);
    EXPECT_EQ(StrToInt("-4"), -4);
    EXPECT_THROW(StrToInt("5000.5"), ConversionError);
    EXPECT_THROW(StrToInt(""), ConversionError);
    EXPECT_THROW(StrToInt("99999999999999999999"), ConversionError);
}
