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

// Text files are code page 1250 unless they are clearly UTF-8: a byte-order
// mark, or multi-byte sequences that are all valid and give characters a
// project can hold.
TEST(Cp1250, Utf8TextsAreRecognised) {
    struct Case {
        const char* what;
        std::string bytes;
        bool utf8;
        std::string text;  // what the file reads as
    };
    const std::string bom = "\xEF\xBB\xBF";
    const Case cases[] = {
        {"UTF-8 Polish letters", "Operator=Józef Żółć", true, "Operator=Józef Żółć"},
        {"the same in code page 1250", "Operator=J\xF3zef \xAF\xF3\xB3\xE6", false, "Operator=Józef Żółć"},
        {"ASCII only", "X=12,5", false, "X=12,5"},
        {"byte-order mark", bom + "Opis=Wstrząs", true, "Opis=Wstrząs"},
        {"mark, then code page 1250 bytes", bom + "Opis=Wstrz\xB9s", true, "Opis=Wstrząs"},
        {"capitals that form a UTF-8 sequence", "Rejon=P\xD3\xA3NOC", false, "Rejon=PÓŁNOC"},
        {"a character no project can hold", "Operator=Søren", false, "Operator=SĂ¸ren"},
        {"the same with a mark", bom + "Operator=Søren", true, "Operator=Søren"},
        {"overlong form", "a\xC0\xAF", false, "aŔŻ"},
        {"surrogate", "a\xED\xA0\x80", false, "aí\u00A0€"},
        {"sequence cut at the end", "Opis=Wstrz\xC4", false, "Opis=WstrzÄ"},
        {"valid sequence and a stray byte", "Żółć \xB9", false, "Ĺ»ĂłĹ‚Ä‡ ą"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(IsUtf8Text(c.bytes), c.utf8);
        EXPECT_EQ(TextFileToUtf8(c.bytes), c.text);
    }
}
