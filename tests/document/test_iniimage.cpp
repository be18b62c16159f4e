#include "app/document/iniimage.h"
#include "common/textfile.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

using namespace dyma;

TEST(IniImage, OrderRulesOfSectionsAndKeys) {
    IniImage ini;
    ini.WriteString("Channel001", "Polarity", "1");
    ini.WriteString("Datas", "X", "1");
    ini.WriteString("Notes", "0", "a");
    ini.WriteString("Datas", "Y", "2");
    ini.WriteString("Datas", "X", "3");  // rewritten key keeps its place
    ini.EraseSection("Notes");
    ini.WriteString("Notes", "0", "b");  // erased and rewritten: moves to the end
    ini.WriteString("channel001", "WaveType", "C");
    EXPECT_EQ(ini.ToText(),
              "[Channel001]\r\nPolarity=1\r\nWaveType=C\r\n\r\n"
              "[Datas]\r\nX=3\r\nY=2\r\n\r\n"
              "[Notes]\r\n0=b\r\n\r\n");
}

TEST(IniImage, LookupsIgnoreCaseAndOrder) {
    IniImage ini = IniImage::FromText("[Result]\nexists=1\nX=12,5\n[FILEINFO]\nMajorVersion=1\n");
    EXPECT_TRUE(ini.SectionExists("result"));
    EXPECT_TRUE(ini.ValueExists("Result", "Exists"));
    EXPECT_TRUE(ini.ReadBool("RESULT", "EXISTS", false));
    EXPECT_EQ(ini.ReadInteger("FileInfo", "majorversion", 0), 1);
    EXPECT_EQ(ini.ReadInteger("Result", "X", 7), 7);  // not an integer: default
    EXPECT_EQ(ini.ReadString("Missing", "Key", "def"), "def");
    ini.DeleteKey("result", "x");
    EXPECT_FALSE(ini.ValueExists("Result", "X"));
}

TEST(IniImage, KeepsValuesExactlyAfterTheFirstEquals) {
    IniImage ini = IniImage::FromText("[Notes]\r\n0=  wstrząs a=b \r\n1=\r\n");
    EXPECT_EQ(ini.ReadString("Notes", "0", ""), "  wstrząs a=b ");
    EXPECT_EQ(ini.ReadString("Notes", "1", "x"), "");
}

TEST(IniImage, CodePage1250FileWrittenBackByteIdentical) {
    test::TempDir dir;
    const std::string bytes =
        "[FileInfo]\r\nGenerator=WinDYMA\r\n\r\n[Datas]\r\nOperator=J\xF3zef \xAF\xF3\xB3\xE6\r\nDescription=Wstrz\xB9s\r\n\r\n";
    const std::string path = dir.Write("event.dym", bytes);
    IniImage ini(path);
    EXPECT_EQ(ini.ReadString("Datas", "Operator", ""), "Józef Żółć");
    ini.UpdateFile();
    EXPECT_EQ(test::ReadAll(path), bytes);
}

TEST(IniImage, MissingFileIsEmptyAndFlushCreatesIt) {
    test::TempDir dir;
    IniImage ini(dir.File("new.dym"));
    EXPECT_TRUE(ini.Sections().empty());
    ini.WriteFloat("Datas", "Zakres", 12.5, ',');
    ini.UpdateFile();
    EXPECT_EQ(test::ReadAll(dir.File("new.dym")), "[Datas]\r\nZakres=12,5\r\n\r\n");
}

TEST(IniImage, FailedFlushLeavesThePreviousFile) {
    test::TempDir dir;
    IniImage ini(dir.File("missing-dir/sub/x.dym"));
    ini.WriteString("A", "b", "c");
    EXPECT_THROW(ini.UpdateFile(), FileError);
}

// A project another tool wrote in UTF-8 reads as UTF-8 and is saved in code
// page 1250, as every project; a character that code page has no byte for is
// written as "?".
TEST(IniImage, Utf8ProjectReadAsUtf8AndSavedInCodePage1250) {
    test::TempDir dir;
    const std::string utf8 = "[Datas]\r\nOperator=Józef Żółć\r\nDescription=Wstrząs w rejonie\r\n\r\n";
    const std::string path = dir.Write("other.dym", utf8);
    IniImage ini(path);
    EXPECT_EQ(ini.ReadString("Datas", "Operator", ""), "Józef Żółć");
    EXPECT_EQ(ini.ReadString("Datas", "Description", ""), "Wstrząs w rejonie");
    ini.UpdateFile();
    EXPECT_EQ(test::ReadAll(path),
              "[Datas]\r\nOperator=J\xF3zef \xAF\xF3\xB3\xE6\r\nDescription=Wstrz\xB9s w rejonie\r\n\r\n");
    EXPECT_EQ(IniImage(path).ReadString("Datas", "Operator", ""), "Józef Żółć");

    const std::string marked = dir.Write("marked.dym", "\xEF\xBB\xBF[Datas]\r\nOperator=Søren Żak\r\n");
    IniImage withMark(marked);
    EXPECT_EQ(withMark.Sections(), std::vector<std::string>{"Datas"});
    EXPECT_EQ(withMark.ReadString("Datas", "Operator", ""), "Søren Żak");
    withMark.UpdateFile();
    EXPECT_EQ(test::ReadAll(marked), "[Datas]\r\nOperator=S?ren \xAF" "ak\r\n\r\n");
}
