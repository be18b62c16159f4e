#include "textreport.h"

#include "common/daycount.h"
#include "common/numberformat.h"
#include "common/product.h"
#include "common/textfile.h"

#include <algorithm>
#include <ctime>

namespace dyma {

namespace {

std::string Two(int v) { return FormatInt(v, 2); }

std::string Formatted(const std::function<std::string(double)>& f, std::string (*fallback)(double), double v) {
    return f ? f(v) : fallback(v);
}

std::string Joined(const std::vector<std::string>& fields) {
    std::string out;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i) out += '\t';
        out += fields[i];
    }
    return out;
}

}  // namespace

std::string NumericDate(double dayCount) {
    const CivilDateTime t = DecodeDateTime(dayCount);
    return FormatInt(t.year, 4) + "-" + Two(t.month) + "-" + Two(t.day);
}

std::string NumericTime(double dayCount) {
    const CivilDateTime t = DecodeDateTime(dayCount);
    return Two(t.hour) + ":" + Two(t.minute) + ":" + Two(t.second);
}

std::string NumericDateTime(double dayCount) { return NumericDate(dayCount) + " " + NumericTime(dayCount); }

bool HasEventDate(const SolutionRecord& record) { return IsShownDate(record.Date); }

bool HasEventTime(const SolutionRecord& record) { return record.Time != 0 && IsShownTime(record.Time); }

double CurrentDayCount() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           EncodeTime(local.tm_hour, local.tm_min, local.tm_sec, 0);
}

std::vector<std::string> BuildReport(const SolutionRecord& r, const ReportLocale& loc) {
    const char sep = loc.decimalSeparator;
    auto km = [&](double v) { return FormatFloat("#0.000", v, sep) + "km"; };
    auto whole = [&](double v) { return FormatFloat("0", v, sep) + "°"; };
    auto one = [&](double v) { return FormatFloat("0.0", v, sep); };
    auto withError = [&](const char* label, double v, double err) {
        return std::string(label) + one(v) + "° błąd: " + one(err) + "°";
    };

    std::vector<std::string> out = {
        std::string("PLIK WYNIKOWY PRZETWARZANIA PROGRAMU ") + kProductDisplay,
        "",
        "DANE PODSTAWOWE:",
        "",
        " Data utworzenia: " + Formatted(loc.dateTime, NumericDateTime, loc.now),
        " Nazwa pliku przetwarzanego: " + r.SignalFileShort,
        " Operator: " + r.Operator,
        " Dodatkowe informacje: " + r.Description,
        std::string(" Program: ") + kShortName,
        std::string(" Wersja: ") + kVersionString,
        " Zakres pomiarowy: " + FloatToStr(r.Zakres, sep) + "mV",
        "",
        "INFORMACJE O ZJAWISKU:",
        "",
        " Data zjawiska: " + (HasEventDate(r) ? Formatted(loc.date, NumericDate, r.Date) : std::string("b.d.")),
        " Czas zjawiska: " + (HasEventTime(r) ? Formatted(loc.time, NumericTime, r.Time) : std::string("b.d.")),
        " X: " + km(r.X),
        " Y: " + km(r.Y),
        " Z: " + km(-r.Z),
        "",
        "MODEL GEOLOGICZNY:",
        "",
        " Kąt wyjścia fali pokładowej górnej: " + whole(r.aa),
        " Kąt wyjścia fali pokładowej dolnej: " + whole(r.bb),
        " Upad warst: " + whole(r.Tilt),
        " Bieg warst: " + whole(r.DrTilt),
        "",
        "WYNIK PRZETWARZANIA:",
        "",
        " Płaszczyzna nodalna A:",
        withError("  Bieg: ", r.SA, r.SAB),
        withError("  Upad: ", r.DA, r.DAB),
        withError("  Kierunek: ", r.RA, r.RAB),
        "",
        " Płaszczyzna nodalna B:",
        withError("  Bieg: ", r.SB, r.SBB),
        withError("  Upad: ", r.RB, r.RBB),
        withError("  Kierunek: ", r.DB, r.DBB),
        "",
        " Osie:",
        "  Trend osi P: " + one(r.PTrend) + "°",
        "  Zagłębienie osi P: " + one(r.PPlunge) + "°",
        "  Trend osi T: " + one(r.TTrend) + "°",
        "  Zagłębienie osi T: " + one(r.TPlunge) + "°",
        "",
        "SIEĆ SEJSMOMETRYCZNA:",
        "",
        Joined({"Nr", "Nazwa", "Znak", "Typ", "X", "Y", "Z", "Kąt wyjścia", "Azymut", "Waga"}),
    };
    const int count = std::clamp(r.StationCount, 0, kMaxStations);
    for (int k = 0; k < count; ++k) {
        const SolutionStation& st = r.stations[static_cast<size_t>(k)];
        out.push_back(Joined({FormatFloat("00", st.No, sep), st.Channel, st.SignString, st.Type, km(st.XS), km(st.YS),
                              km(-st.ZS), whole(st.TakeOff), whole(st.Azimuth), one(st.Weight)}));
    }
    // What the solver's quality file added, below the fixed layout; a
    // result without it ends with the station table as before.
    if (const auto& q = r.AcceptableSet) {
        out.insert(out.end(),
                   {"",
                    "JAKOŚĆ ROZWIĄZANIA:",
                    "",
                    std::string(" Klasa jakości: ") + q->quality,
                    " Niezgodne polaryzacje: " + std::to_string(q->misfitCount) + " z " +
                        std::to_string(q->polarityCount),
                    " Szacowany udział błędnych polaryzacji: " + one(100 * q->errorRate) + "%",
                    " Wskaźnik rozkładu stacji: " + FormatFloat("0.00", q->stationRatio, sep),
                    " Luka azymutalna: " + one(q->azimuthGap) + "°",
                    " Luka kątów wyjścia: " + one(q->takeOffGap) + "°",
                    " Przyjęty błąd lokalizacji: " + FormatFloat("0.#", q->locationError, sep) + "m",
                    " Przyjęty błąd kąta wyjścia fal pokładowych: " + one(q->seamAngleError) + "°",
                    " Mechanizmy zbioru akceptowalnego: " + std::to_string(q->axes.size()),
                    "",
                    Joined({"Trend osi P", "Zagłębienie osi P", "Trend osi T", "Zagłębienie osi T"})});
        for (const AcceptableAxes& a : q->axes)
            out.push_back(Joined({one(a.pTrend), one(a.pPlunge), one(a.tTrend), one(a.tPlunge)}));
    }
    return out;
}

bool SaveReport(const SolutionRecord& r, const std::string& fileName, const ReportLocale& loc) {
    try {
        WriteTextLines(fileName, BuildReport(r, loc));
        return true;
    } catch (...) {
        return false;
    }
}

std::string ReportSaveFailedMessage(const std::string& fileName) {
    return "Nie udało się zapisac tekstowego pliku wynikowego: " + fileName;
}

std::string ReportSavedMessage(const std::string& fileName) {
    return "Plik " + fileName + " został pomyślnie wyeksportowany";
}

}  // namespace dyma
