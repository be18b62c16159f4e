#include "common/cp1250.h"

#include <gtest/gtest.h>

using namespace dyma;

TEST(Cp1250, PolishLettersBothWays) {
    // "Józef Żółć" as a Windows workstation writes it
    const std::string bytes = "Operator=J\xF3" "zef \xAF\xF3\xB3\xE6";
    const std::string utf8 = Cp1250ToUtf8(bytes);
    EXPECT_EQ(utf8, "Operator=Józef Żółć");
    EXPECT_EQ(Utf8ToCp1250(utf8), bytes);
    EXPECT_EQ(Utf8ToCp1250("ąćęłńóśźż ĄĆĘŁŃÓŚŹŻ °±"), "\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF \xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF \xB0\xB1");
}

TEST(Cp1250, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1250(Cp1250ToUtf8(all)), all);
}

TEST(Cp1250, UnmappableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1250("日本"), "??");
    EXPECT_EQ(Utf8ToCp1250("a\xFF" "b"), "a\xFF" "b");  // broken UTF-8 is passed through
}
