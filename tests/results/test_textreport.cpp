#include "app/document/projectfile.h"
#include "app/results/textreport.h"
#include "common/numberformat.h"
#include "common/daycount.h"
#include "common/textfile.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

using namespace dyma;

namespace {

ReportLocale Fixed(char sep) {
    ReportLocale loc;
    loc.decimalSeparator = sep;
    loc.date = [](double d) { return "date(" + std::to_string(static_cast<long long>(d)) + ")"; };
    loc.time = [](double t) { return "time(" + std::to_string(static_cast<int>(t * 24 + 0.5)) + "h)"; };
    loc.dateTime = [](double) { return std::string("stamp"); };
    loc.now = 45000.25;
    return loc;
}

SolutionRecord Solved() {
    SolutionRecord r;
    r.SignalFileShort = "ev01.mbj";
    r.Operator = "Jan Łukasiewicz";
    r.Description = "Rejon G-23";
    r.Zakres = 5000;
    r.Date = 45352;
    r.Time = 0.5;
    r.X = 12.3456;
    r.Y = -0.25;
    r.Z = 850.5;
    r.aa = 114;
    r.bb = 72;
    r.Tilt = 4;
    r.DrTilt = 45.5;  // rounds half away from zero
    r.SA = 123.44;
    r.SAB = 5;
    r.DA = 56.75;
    r.DAB = 4.5;
    r.RA = -89.1;
    r.RAB = 12;
    r.SB = 301.2;
    r.SBB = 7.5;
    r.RB = 33.3;   // plane B dip
    r.RBB = 6;
    r.DB = -91.5;  // plane B rake
    r.DBB = 11;
    r.PTrend = 210.5;
    r.PPlunge = 78.5;
    r.TTrend = 30;
    r.TPlunge = 11.5;
    return r;
}

}  // namespace

TEST(TextReport, FixedLinesWithBothSeparators) {
    struct Case {
        char sep;
        const char *x, *z, *rake;
    } cases[] = {{',', " X: 12,346km", " Z: -850,500km", "  Kierunek: -89,1° błąd: 12,0°"},
                 {'.', " X: 12.346km", " Z: -850.500km", "  Kierunek: -89.1° błąd: 12.0°"}};
    for (const Case& c : cases) {
        const auto lines = BuildReport(Solved(), Fixed(c.sep));
        ASSERT_EQ(lines.size(), 48u) << "47 fixed lines and the table header";
        EXPECT_EQ(lines[0], "PLIK WYNIKOWY PRZETWARZANIA PROGRAMU WinDYMA 1.5.0");
        EXPECT_EQ(lines[4], " Data utworzenia: stamp");
        EXPECT_EQ(lines[5], " Nazwa pliku przetwarzanego: ev01.mbj");
        EXPECT_EQ(lines[6], " Operator: Jan Łukasiewicz");
        EXPECT_EQ(lines[8], " Program: WinDYMA");
        EXPECT_EQ(lines[9], " Wersja: 1.5.0");
        EXPECT_EQ(lines[10], " Zakres pomiarowy: 5000mV");
        EXPECT_EQ(lines[14], " Data zjawiska: date(45352)");
        EXPECT_EQ(lines[15], " Czas zjawiska: time(12h)");
        EXPECT_EQ(lines[16], c.x);
        EXPECT_EQ(lines[18], c.z);
        EXPECT_EQ(lines[22], " Kąt wyjścia fali pokładowej górnej: 114°");
        EXPECT_EQ(lines[25], " Bieg warst: 46°");
        EXPECT_EQ(lines[29], " Płaszczyzna nodalna A:");
        EXPECT_EQ(lines[32], c.rake);
        EXPECT_EQ(lines[36], c.sep == ',' ? "  Upad: 33,3° błąd: 6,0°" : "  Upad: 33.3° błąd: 6.0°");  // RB
        EXPECT_EQ(lines[37], c.sep == ',' ? "  Kierunek: -91,5° błąd: 11,0°" : "  Kierunek: -91.5° błąd: 11.0°");
        EXPECT_EQ(lines[41], c.sep == ',' ? "  Zagłębienie osi P: 78,5°" : "  Zagłębienie osi P: 78.5°");
        EXPECT_EQ(lines[45], "SIEĆ SEJSMOMETRYCZNA:");
        EXPECT_EQ(lines[46], "");
        EXPECT_EQ(lines[47], "Nr\tNazwa\tZnak\tTyp\tX\tY\tZ\tKąt wyjścia\tAzymut\tWaga");
    }
}

TEST(TextReport, MissingHeaderValues) {
    SolutionRecord r;  // no operator, no description, zero date and time
    ReportLocale loc = Fixed(',');
    const auto lines = BuildReport(r, loc);
    EXPECT_EQ(lines[5], " Nazwa pliku przetwarzanego: brak danych");
    EXPECT_EQ(lines[6], " Operator: ");
    EXPECT_EQ(lines[7], " Dodatkowe informacje: ");
    EXPECT_EQ(lines[14], " Data zjawiska: b.d.");
    EXPECT_EQ(lines[15], " Czas zjawiska: b.d.");
    EXPECT_EQ(lines[18], " Z: 0,000km");
    // without formatters the numeric forms are used
    ReportLocale plain;
    plain.now = EncodeDate(2024, 3, 1) + EncodeTime(7, 5, 9, 0);
    r.Date = EncodeDate(2023, 11, 7);
    r.Time = EncodeTime(23, 59, 58, 0);
    const auto numeric = BuildReport(r, plain);
    EXPECT_EQ(numeric[4], " Data utworzenia: 2024-03-01 07:05:09");
    EXPECT_EQ(numeric[14], " Data zjawiska: 2023-11-07");
    EXPECT_EQ(numeric[15], " Czas zjawiska: 23:59:58");
}

// Date and time as a project file holds them (any tool may have written
// them): only a date from 1900 to 2100 and a time within one day are shown;
// anything else is "b.d.", never a computed calendar date.
TEST(TextReport, DatesAndTimesOutsideTheCalendarAreAbsent) {
    struct Case {
        const char* date;
        const char* time;
        const char* dateLine;
        const char* timeLine;
    };
    const std::string lastDay = FloatToStr(EncodeDate(2100, 12, 31), '.');
    const std::string firstDay = FloatToStr(EncodeDate(1900, 1, 1), '.');
    const std::string afterLast = FloatToStr(EncodeDate(2101, 1, 1), '.');
    const Case cases[] = {
        {"1E30", "1E30", "b.d.", "b.d."},
        {"-1E30", "-1E30", "b.d.", "b.d."},
        {"1E10", "1,5", "b.d.", "b.d."},
        {"1", "1", "b.d.", "b.d."},  // 1899-12-31; one whole day
        {"-0.5", "-0.25", "b.d.", "b.d."},
        {afterLast.c_str(), "0.99999", "b.d.", "23:59:59"},
        {lastDay.c_str(), "0.5", "2100-12-31", "12:00:00"},
        {firstDay.c_str(), "0.25", "1900-01-01", "06:00:00"},
        {"45352,75", "0.75", "2024-03-01", "18:00:00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.date) + " " + c.time);
        const IniImage image =
            IniImage::FromText(std::string("[Datas]\r\nDate=") + c.date + "\r\nTime=" + c.time + "\r\n");
        SolutionRecord r;
        LoadResult(r, image);
        const auto lines = BuildReport(r, ReportLocale{});
        EXPECT_EQ(lines[14], std::string(" Data zjawiska: ") + c.dateLine);
        EXPECT_EQ(lines[15], std::string(" Czas zjawiska: ") + c.timeLine);
        EXPECT_EQ(HasEventDate(r), std::string(c.dateLine) != "b.d.");
        EXPECT_EQ(HasEventTime(r), std::string(c.timeLine) != "b.d.");
    }
}

TEST(TextReport, StationTable) {
    SolutionRecord r = Solved();
    r.StationCount = 2;
    r.stations[0] = {3, "12Z", 1.5, -2.25, 0.75, 45.4, 359.6, -0.7, -1, 0, 0, "-", "C", 0, 0, 0, 0, 0};
    r.stations[1] = {123, "123N", 0, 0, -1, 90.5, 0, 1, 1, 0, 0, "+", "A", 0, 0, 0, 0, 0};
    const auto lines = BuildReport(r, Fixed(','));
    ASSERT_EQ(lines.size(), 50u);
    EXPECT_EQ(lines[48], "03\t12Z\t-\tC\t1,500km\t-2,250km\t-0,750km\t45°\t360°\t-0,7");
    EXPECT_EQ(lines[49], "123\t123N\t+\tA\t0,000km\t0,000km\t1,000km\t91°\t0°\t1,0");
}

TEST(TextReport, SavedAsCodePage1250WithCrLf) {
    test::TempDir dir;
    SolutionRecord r = Solved();
    r.StationCount = 1;
    r.stations[0].No = 1;
    const std::string file = dir.File("wynik.txt");
    ASSERT_TRUE(SaveReport(r, file, Fixed(',')));
    const std::string bytes = test::ReadAll(file);
    EXPECT_NE(bytes.find("K\xB9t wyj\x9C" "cia fali pok\xB3" "adowej g\xF3rnej: 114\xB0\r\n"), std::string::npos);
    EXPECT_EQ(ReadTextLines(file), BuildReport(r, Fixed(',')));
    size_t crlf = 0;
    for (size_t i = 0; i + 1 < bytes.size(); ++i) crlf += bytes[i] == '\r' && bytes[i + 1] == '\n';
    EXPECT_EQ(crlf, 49u);
    EXPECT_EQ(bytes.find('\n'), bytes.find("\r\n") + 1);

    EXPECT_FALSE(SaveReport(r, dir.File("no/such/dir/wynik.txt"), Fixed(',')));
    EXPECT_EQ(ReportSaveFailedMessage("a.txt"), "Nie udało się zapisac tekstowego pliku wynikowego: a.txt");
    EXPECT_EQ(ReportSavedMessage("a.txt"), "Plik a.txt został pomyślnie wyeksportowany");
}

TEST(TextReport, QualityFiguresFollowTheStationTableOnlyWhenTheSolverGaveThem) {
    for (char sep : {'.', ','}) {
        SolutionRecord r = Solved();
        const std::vector<std::string> before = BuildReport(r, Fixed(sep));
        SolutionQuality q;
        q.quality = 'C';
        q.misfitCount = 4;
        q.polarityCount = 20;
        q.errorRate = 0.2273;
        q.stationRatio = 0.8161;
        q.azimuthGap = 121.26;
        q.takeOffGap = 37.5;
        q.locationError = 50;
        q.seamAngleError = 5;
        q.axes = {{10, 20.5, 190, 69.5}, {12.26, 18, 195.5, 70}};
        r.AcceptableSet = q;
        const std::vector<std::string> after = BuildReport(r, Fixed(sep));
        ASSERT_GT(after.size(), before.size());
        // The fixed layout and the station table unchanged, then the figures.
        EXPECT_EQ(std::vector<std::string>(after.begin(), after.begin() + static_cast<long>(before.size())), before);
        const std::vector<std::string> added(after.begin() + static_cast<long>(before.size()), after.end());
        const std::string s(1, sep);
        const std::vector<std::string> expected = {"",
                                                   "JAKOŚĆ ROZWIĄZANIA:",
                                                   "",
                                                   " Klasa jakości: C",
                                                   " Niezgodne polaryzacje: 4 z 20",
                                                   " Szacowany udział błędnych polaryzacji: 22" + s + "7%",
                                                   " Wskaźnik rozkładu stacji: 0" + s + "82",
                                                   " Luka azymutalna: 121" + s + "3°",
                                                   " Luka kątów wyjścia: 37" + s + "5°",
                                                   " Przyjęty błąd lokalizacji: 50m",
                                                   " Przyjęty błąd kąta wyjścia fal pokładowych: 5" + s + "0°",
                                                   " Mechanizmy zbioru akceptowalnego: 2",
                                                   "",
                                                   "Trend osi P\tZagłębienie osi P\tTrend osi T\tZagłębienie osi T",
                                                   "10" + s + "0\t20" + s + "5\t190" + s + "0\t69" + s + "5",
                                                   "12" + s + "3\t18" + s + "0\t195" + s + "5\t70" + s + "0"};
        EXPECT_EQ(added, expected);
    }
}
