// The printed page's layout: margins, sphere and text positions for the
// printer and the preview, the rows of the station table and of the
// location block.
#include "app/results/printlayout.h"
#include "app/results/textreport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace dyma;

namespace {

SolutionRecord TenStations() {
    SolutionRecord r;
    r.Exists = true;
    r.StationCount = 10;
    r.SA = 120, r.DA = 60, r.RA = -90, r.SB = 300, r.RB = 30, r.DB = -85;
    r.SAB = 1, r.DAB = 2, r.RAB = 3, r.SBB = 4, r.RBB = 5, r.DBB = 6;
    for (int k = 0; k < 10; ++k) {
        SolutionStation& s = r.stations[size_t(k)];
        s.No = k + 1;
        s.Channel = std::to_string(k + 1) + "Z";
        s.SignString = k % 2 ? "-" : "+";
        s.Type = "C";
        s.Weight = 0.7;
    }
    return r;
}

ReportLocale Plain() {
    ReportLocale loc;
    loc.decimalSeparator = '.';
    return loc;
}

const PageText* Find(const std::vector<PageText>& texts, const std::string& text) {
    auto it = std::find_if(texts.begin(), texts.end(), [&](const PageText& t) { return t.text == text; });
    return it == texts.end() ? nullptr : &*it;
}

const PageText* FindPrefix(const std::vector<PageText>& texts, const std::string& prefix) {
    auto it = std::find_if(texts.begin(), texts.end(),
                           [&](const PageText& t) { return t.text.compare(0, prefix.size(), prefix) == 0; });
    return it == texts.end() ? nullptr : &*it;
}

}  // namespace

TEST(PrintLayout, PrinterGeometryAt600Dpi) {
    const PageGeometry g = PrinterPageGeometry(600, 600, 4960, 7016);
    EXPECT_EQ(g.innerLeft, 300);
    EXPECT_EQ(g.innerTop, 300);
    EXPECT_EQ(g.innerRight, 4660);
    EXPECT_EQ(g.innerBottom, 6716);
    EXPECT_EQ(g.side, 1880);
    EXPECT_EQ(g.sphereX, 2660);
    EXPECT_EQ(g.sphereY, 300);
    EXPECT_EQ(g.fontHeight, 72);
    EXPECT_EQ(g.textTop, 2180);
    EXPECT_EQ(g.textBottom, 2780);
    EXPECT_EQ(PlanesRowHeight(g), 75);

    // Unequal resolutions: the margins follow each axis, the fonts the
    // vertical one.
    const PageGeometry odd = PrinterPageGeometry(300, 600, 2480, 7016);
    EXPECT_EQ(odd.innerLeft, 150);
    EXPECT_EQ(odd.innerTop, 300);
    EXPECT_EQ(odd.side, (2330 - 150) / 2 - 150);
    EXPECT_EQ(odd.sphereX, 2330 - odd.side - 60);
    EXPECT_EQ(odd.textBottom, 300 + odd.side + 600);
}

TEST(PrintLayout, PreviewGeometryIsTheA4PageAt150Dpi) {
    const PageGeometry g = PreviewPageGeometry();
    EXPECT_EQ(kPreviewWidth, 1240);
    EXPECT_EQ(kPreviewHeight, 1754);
    EXPECT_EQ((std::array{g.innerLeft, g.innerTop, g.innerRight, g.innerBottom}), (std::array{75, 75, 1165, 1679}));
    EXPECT_EQ(g.side, 470);
    EXPECT_EQ(g.sphereX, 665);
    EXPECT_EQ(g.sphereY, 75);
    EXPECT_EQ((std::array{g.textLeft, g.textTop, g.textRight, g.textBottom}), (std::array{75, 545, 1165, 695}));
    EXPECT_EQ(g.fontHeight, 18);
}

TEST(PrintLayout, BlocksTakeTheirReportLines) {
    const PageGeometry g = PrinterPageGeometry(600, 600, 4960, 7016);
    const std::vector<std::string> report = BuildReport(TenStations(), Plain());
    ASSERT_EQ(report.size(), 58u);
    const std::vector<PageText> texts = LayOutPage(g, report, nullptr);

    // Block 1: the title and the 26 lines beside the sphere.
    const PageText* title = Find(texts, report[0]);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->x, 300);
    EXPECT_EQ(title->y, 300);
    EXPECT_EQ(title->height, 72);
    const PageText* strike = Find(texts, report[25]);
    ASSERT_NE(strike, nullptr);
    EXPECT_EQ(strike->y, 300 + 25 * 72);
    EXPECT_LT(strike->y + 72, g.textTop) << "block 1 stays beside the sphere";

    // Block 2: the heading on row 1, the three columns on rows 3 to 6.
    const int h2 = 75, c2 = (4660 - 300) / 3;
    const PageText* heading = Find(texts, kNodalPlanesHeading);
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->y, g.textTop + h2);
    EXPECT_EQ(heading->height, h2);
    struct Cell {
        std::string text;
        int column, row;
    };
    for (const Cell& c : {Cell{" Płaszczyzna nodalna A:", 0, 3}, Cell{report[32], 0, 6},
                          Cell{" Płaszczyzna nodalna B:", 1, 3}, Cell{report[37], 1, 6}, Cell{report[40], 2, 3},
                          Cell{report[43], 2, 6}}) {
        const PageText* t = Find(texts, c.text);
        ASSERT_NE(t, nullptr) << c.text;
        EXPECT_EQ(t->x, 300 + c.column * c2) << c.text;
        EXPECT_EQ(t->y, g.textTop + c.row * h2) << c.text;
    }
    EXPECT_EQ(Find(texts, " Osie:"), nullptr);
    EXPECT_EQ(Find(texts, "WYNIK PRZETWARZANIA:"), nullptr) << "line 27 is not part of any block";
}

TEST(PrintLayout, TenStationsUseTableRowsZeroToTwelveAndTheLocationBlockFollows) {
    const PageGeometry g = PrinterPageGeometry(600, 600, 4960, 7016);
    const std::vector<std::string> report = BuildReport(TenStations(), Plain());
    const std::vector<LocationEntry> entries = {{"Data", "2024-03-01"}, {"Czas", "07:05:09"}, {"Rejon", "R-7"}};
    const std::vector<PageText> texts = LayOutPage(g, report, &entries);

    const int h3 = TableRowHeight(g, 58);
    EXPECT_EQ(h3, 75) << "the planes' row height is the smaller one here";
    const int c3 = (4660 - 300) / 10;
    auto row = [&](const PageText& t) { return (t.y - g.textBottom) / h3; };

    const PageText* heading = Find(texts, kNetworkHeading);
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->y, g.textBottom);
    EXPECT_EQ(Find(texts, "SIEĆ SEJSMOMETRYCZNA:"), nullptr) << "lines without a TAB print nothing";

    // The header on row 2 with "Waga" as the tenth column, the stations on
    // rows 3 to 12.
    const PageText* nr = Find(texts, "Nr");
    const PageText* waga = Find(texts, "Waga");
    ASSERT_TRUE(nr && waga);
    EXPECT_EQ(row(*nr), 2);
    EXPECT_EQ(waga->y, nr->y);
    EXPECT_EQ(waga->x, 300 + 9 * c3);
    const PageText* first = Find(texts, "01");
    const PageText* last = Find(texts, "10");
    ASSERT_TRUE(first && last);
    EXPECT_EQ(row(*first), 3);
    EXPECT_EQ(row(*last), 12);
    EXPECT_EQ(Find(texts, "10Z")->x, 300 + c3);

    // The location block: heading on row 16, the first entry on row 18,
    // keys with ":" in column 0 and values in column 2.
    const PageText* dbs = Find(texts, kLocationHeading);
    ASSERT_NE(dbs, nullptr);
    EXPECT_EQ(dbs->y, g.textBottom + 16 * h3);
    const PageText* key = Find(texts, "Data:");
    const PageText* value = Find(texts, "2024-03-01");
    ASSERT_TRUE(key && value);
    EXPECT_EQ(key->y, g.textBottom + 18 * h3);
    EXPECT_EQ(value->y, key->y);
    EXPECT_EQ(value->x, 300 + 2 * c3);
    EXPECT_EQ(Find(texts, "Rejon:")->y, g.textBottom + 20 * h3);

    // The block is left out without entries to print.
    const std::vector<PageText> without = LayOutPage(g, report, nullptr);
    EXPECT_EQ(Find(without, kLocationHeading), nullptr);
    EXPECT_EQ(Find(without, "Data:"), nullptr);
    EXPECT_EQ(without.size() + 7, texts.size());
}

TEST(PrintLayout, AFullTableShrinksItsRowsToFitThePage) {
    SolutionRecord r = TenStations();
    r.StationCount = 96;
    for (int k = 10; k < 96; ++k) r.stations[size_t(k)] = r.stations[0], r.stations[size_t(k)].No = k + 1;
    const PageGeometry g = PreviewPageGeometry();
    const std::vector<std::string> report = BuildReport(r, Plain());
    const int h3 = TableRowHeight(g, int(report.size()));
    EXPECT_EQ(h3, (1679 - 695) / (int(report.size()) - 45));
    EXPECT_LT(h3, PlanesRowHeight(g));
    const std::vector<PageText> texts = LayOutPage(g, report, nullptr);
    const PageText* last = FindPrefix(texts, "96");
    ASSERT_NE(last, nullptr);
    EXPECT_LE(last->y + h3, g.innerBottom) << "the last station stays inside the margins";
}

TEST(PrintLayout, QualityFiguresPrintBelowTheTableWithoutTheAxesAndMoveNothingElse) {
    const PageGeometry g = PrinterPageGeometry(600, 600, 4960, 7016);
    SolutionRecord r = TenStations();
    const std::vector<std::string> plain = BuildReport(r, Plain());
    SolutionQuality q;
    q.quality = 'A';
    q.misfitCount = 1;
    q.polarityCount = 10;
    for (int i = 0; i < kMaxAcceptableAxes; ++i) q.axes.push_back({double(i), 10, double(i) + 180, 80});
    r.AcceptableSet = q;
    const std::vector<std::string> report = BuildReport(r, Plain());
    const std::vector<LocationEntry> entries = {{"Data", "2024-03-01"}, {"Czas", "07:05:09"}, {"Rejon", "R-7"}};

    for (const std::vector<LocationEntry>* e : {static_cast<const std::vector<LocationEntry>*>(nullptr), &entries}) {
        SCOPED_TRACE(e ? "with the location block" : "without it");
        const std::vector<PageText> before = LayOutPage(g, plain, e);
        const std::vector<PageText> after = LayOutPage(g, report, e);
        // The 300 axes are not a station table: the rows keep a height
        // that fits the stations and the figures.
        const int h3 = TableRowHeight(g, 58 + 12);
        ASSERT_EQ(h3, TableRowHeight(g, 58));
        ASSERT_GE(after.size(), before.size());
        for (size_t i = 0; i < before.size(); ++i) {
            EXPECT_EQ(after[i].text, before[i].text) << i;
            EXPECT_EQ(after[i].x, before[i].x) << before[i].text;
            EXPECT_EQ(after[i].y, before[i].y) << before[i].text;
            EXPECT_EQ(after[i].height, before[i].height) << before[i].text;
        }
        EXPECT_EQ(Find(after, "Trend osi P"), nullptr);
        EXPECT_EQ(Find(after, "299.0"), nullptr);
        const PageText* heading = Find(after, "JAKOŚĆ ROZWIĄZANIA:");
        const PageText* letter = Find(after, " Klasa jakości: A");
        ASSERT_TRUE(heading && letter);
        // A row below the last station (row 12) or the last location entry (row 20).
        EXPECT_EQ(heading->y, g.textBottom + (e ? 22 : 14) * h3);
        EXPECT_EQ(letter->y, heading->y + 2 * h3);
        EXPECT_EQ(after.size(), before.size() + 10);
    }
}
