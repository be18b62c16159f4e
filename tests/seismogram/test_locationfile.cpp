#include "app/seismogram/locationfile.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace dyma;

namespace {

// The record of a file whose fields are placed by hand at the offsets of
// the database's layouts, so that the reader is checked against the format
// and not only against its own writer.
struct Offsets {
    size_t length, data, czas, oddzial;
    int eventType;  // -1: none
    size_t x, y, z, t0, energia, notatki, rejon, rejonWidth;
};
constexpr Offsets kOffsets[] = {
    {3446, 44, 53, 62, 69, 70, 78, 86, 94, 670, 2374, 2415, 4},
    {3450, 45, 54, 67, -1, 74, 82, 90, 98, 674, 2378, 2419, 5},
    {6712, 44, 53, 62, 69, 70, 78, 86, 94, 1214, 4614, 4655, 4},
};

void PutDouble(std::string& b, size_t at, double v) {
    unsigned char le[8];
    std::memcpy(le, &v, 8);  // this machine is little-endian, as the files are
    for (size_t i = 0; i < 8; ++i) b[at + i] = static_cast<char>(le[i]);
}
void PutText(std::string& b, size_t at, const std::string& bytes) { b.replace(at, bytes.size(), bytes); }

std::string HandMade(const Offsets& o) {
    std::string b(o.length, '\0');
    PutText(b, o.data, "24.03.01");
    PutText(b, o.czas, "07:05:09");
    PutText(b, o.oddzial, " G-1\xA3 ");  // "G-1Ł" in code page 1250 with blanks around
    if (o.eventType >= 0) b[static_cast<size_t>(o.eventType)] = static_cast<char>(200);
    PutDouble(b, o.x, 12345.5);
    PutDouble(b, o.y, -250.25);
    PutDouble(b, o.z, -870);
    PutDouble(b, o.t0, 3.14159);
    PutDouble(b, o.energia, 12345.0);
    PutText(b, o.notatki, "tapniecie   ");
    PutText(b, o.rejon, std::string("R12\0Z", 5).substr(0, o.rejonWidth));  // ends at its NUL
    return b;
}

}  // namespace

TEST(LocationFile, ReadsTheThreeLayouts) {
    for (const Offsets& o : kOffsets) {
        test::TempDir dir;
        const auto r = ReadLocationFile(dir.Write("ev.dbs", HandMade(o)));
        ASSERT_TRUE(r) << o.length;
        EXPECT_EQ(r->layout, o.length);
        EXPECT_EQ(r->Data, "24.03.01");
        EXPECT_EQ(r->Czas, "07:05:09");
        EXPECT_EQ(r->Oddzial, "G-1Ł");
        EXPECT_EQ(r->HasEventType(), o.eventType >= 0);
        EXPECT_EQ(r->TypZjawiska, o.eventType >= 0 ? 200 : 0);
        EXPECT_EQ(r->X, 12345.5);
        EXPECT_EQ(r->Y, -250.25);
        EXPECT_EQ(r->Z, -870);
        EXPECT_EQ(r->T0, 3.14159);
        EXPECT_EQ(r->Energia, 12345.0);
        EXPECT_EQ(r->Notatki, "tapniecie");
        EXPECT_EQ(r->Rejon, "R12");
        // the writer puts every field where the reader finds it
        const auto again = DecodeLocationRecord(EncodeLocationRecord(*r));
        ASSERT_TRUE(again);
        EXPECT_EQ(LocationEntries(*again, '.').size(), LocationEntries(*r, '.').size());
        EXPECT_EQ(again->Oddzial, "G-1Ł");
        EXPECT_EQ(again->Energia, r->Energia);
    }
}

TEST(LocationFile, OtherLengthsReadNothing) {
    test::TempDir dir;
    for (size_t length : {size_t(0), size_t(3445), size_t(3447), size_t(6711), size_t(6713)})
        EXPECT_FALSE(ReadLocationFile(dir.Write("x.dbs", std::string(length, ' ')))) << length;
    EXPECT_FALSE(ReadLocationFile(dir.File("missing.dbs")));
    EXPECT_FALSE(ReadLocationFile(dir.Path().string()));  // a directory
}

TEST(LocationFile, NoteLines) {
    const auto shortLayout = DecodeLocationRecord(HandMade(kOffsets[0]));
    const auto noType = DecodeLocationRecord(HandMade(kOffsets[1]));
    const auto longLayout = DecodeLocationRecord(HandMade(kOffsets[2]));
    ASSERT_TRUE(shortLayout && noType && longLayout);
    EXPECT_EQ(LocationNoteLines(*shortLayout, ','),
              (std::vector<std::string>{"Data: 24.03.01", "Czas: 07:05:09", "Oddział: G-1Ł", "Typ zjawiska: 200",
                                        "Energia: 1,23e+04", "T0: 3,14", "Notatki: tapniecie", "Rejon: R12"}));
    const auto seven = LocationNoteLines(*noType, '.');
    ASSERT_EQ(seven.size(), 7u);
    EXPECT_EQ(seven[3], "Energia: 1.23e+04");
    EXPECT_EQ(LocationNoteLines(*longLayout, '.')[5], "T0: 3.142");
}

TEST(LocationFile, PreviewEntries) {
    struct Case {
        const Offsets& layout;
        std::vector<std::string> keys;
        const char* t0;
    } cases[] = {
        {kOffsets[0], {"Data", "Czas", "Oddział", "Typ zjawiska", "X", "Y", "Z", "Energia", "T0", "Notatki", "Rejon"}, "3,14"},
        {kOffsets[1], {"Data", "Czas", "Oddział", "X", "Y", "Z", "Energia", "T0", "Notatki", "Rejon"}, "3,14"},
        {kOffsets[2], {"Data", "Czas", "Oddział", "Typ zjawiska", "X", "Y", "Z", "Energia", "T0", "Notatki", "Rejon"}, "3,142"},
    };
    for (const Case& c : cases) {
        const auto entries = LocationEntries(*DecodeLocationRecord(HandMade(c.layout)), ',');
        std::vector<std::string> keys;
        for (const auto& e : entries) keys.push_back(e.key);
        EXPECT_EQ(keys, c.keys) << c.layout.length;
        auto value = [&](const char* key) {
            for (const auto& e : entries)
                if (e.key == key) return e.value;
            return std::string("?");
        };
        EXPECT_EQ(value("X"), "12345,5");
        EXPECT_EQ(value("Y"), "-250,25");
        EXPECT_EQ(value("Z"), "-870");
        EXPECT_EQ(value("Energia"), "1,23e+04");
        EXPECT_EQ(value("T0"), c.t0);
        EXPECT_EQ(value("Oddział"), "G-1Ł");
    }
}
