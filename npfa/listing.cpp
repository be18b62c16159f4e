#include "npfa/listing.h"

#include "common/numberformat.h"

namespace dyma::npfa {

namespace {

std::string F(const char* picture, double v) { return FormatFloat(picture, v, '.'); }

// Characters, not bytes: the file is code page 1250, one byte a letter.
size_t Length(const std::string& utf8) {
    size_t n = 0;
    for (unsigned char c : utf8)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}
std::string Right(const std::string& text, size_t width) {
    const size_t n = Length(text);
    return n >= width ? text : std::string(width - n, ' ') + text;
}
std::string Left(const std::string& text, size_t width) {
    const size_t n = Length(text);
    return n >= width ? text : text + std::string(width - n, ' ');
}
std::string Sign(int s) { return s > 0 ? "+" : s < 0 ? "-" : "0"; }

std::string PlaneText(const focal::Plane& p) {
    return "rozciągłość " + F("0.0", p.strike) + "°, upad " + F("0.0", p.dip) + "°, kąt poślizgu " + F("0.0", p.rake) +
           "°";
}
std::string ErrorText(const PlaneErrors& e) {
    return "± " + F("0.0", e.strike) + "°, ± " + F("0.0", e.dip) + "°, ± " + F("0.0", e.rake) + "°";
}

void Input(const RunRecord& run, std::vector<std::string>& out) {
    out.push_back("Katalog roboczy: " + run.workDir);
    if (run.par) {
        const ParFile& p = *run.par;
        out.push_back("Pliki: dane " + p.dat + ", sieć " + p.net + ", wynik " + p.res + ", wydruk " + p.pny +
                      (p.bin.empty() ? std::string() : ", " + p.bin + " (nie jest zapisywany)"));
        out.push_back("Wiersz parametrów \"" + p.parameters +
                      "\": pominięty (opcje poprzedniego programu; ten program ich nie potrzebuje)");
    }
    if (run.dat) {
        const DatFile& d = *run.dat;
        out.push_back("Nagłówek pliku danych: " + d.title);
        out.push_back("Ognisko: X = " + F("0.000", d.x) + " km, Y = " + F("0.000", d.y) +
                      " km, głębokość = " + F("0.000", d.depth) + " km");
        for (int line : d.skippedLines)
            out.push_back("Pominięty wiersz " + std::to_string(line) + " (uwaga ze znakiem /)");
    }
    if (run.net) {
        const focal::SeamModel& m = run.net->model;
        out.push_back("Model: kąt wyjścia fali A = " + F("0.00", m.aa) + "°, fali B = " + F("0.00", m.bb) +
                      "°, upad warstw = " + F("0.00", m.tilt) + "°, rozciągłość warstw = " + F("0.00", m.drtilt) + "°");
        out.push_back("Stacji w pliku sieci: " + std::to_string(run.net->stations.size()));
    }
}

void Picks(const RunRecord& run, std::vector<std::string>& out) {
    if (run.rows.empty()) return;
    int fitted = 0;
    double weight = 0;
    for (const PickRow& r : run.rows)
        if (r.fitted != 0) {
            ++fitted;
            weight += r.pick.weight;
        }
    out.push_back("");
    out.push_back("Odczyty: " + std::to_string(run.rows.size()) + ", dopasowywane: " + std::to_string(fitted) +
                  " (suma wag " + F("0.0#", weight) + ")");
    out.push_back("Pol. = polaryzacja w pliku danych, Dop. = polaryzacja dopasowywana (tak jak ją pokazuje program),");
    out.push_back("Teor. = polaryzacja rozwiązania na promieniu; kąt wyjścia od pionu w dół, azymut od północy.");
    out.push_back("");
    out.push_back("  Nr Wiersz Kanał Typ Pol. Waga         X         Y    Głęb. Kąt wyj. Azymut Dop. Teor. Zgodność");
    for (const PickRow& r : run.rows) {
        std::string line = Right(std::to_string(r.number), 4) + Right(std::to_string(r.pick.line), 7) + " " +
                           Left(r.pick.label, 5) + Right(r.pick.waveType, 4) +
                           Right(std::string(1, r.pick.polarity), 5) + Right(F("0.0#", r.pick.weight), 5);
        line += r.inNet ? Right(F("0.000", r.station.x), 10) + Right(F("0.000", r.station.y), 10) +
                              Right(F("0.000", r.station.depth), 9)
                        : std::string(29, ' ');
        line += r.hasRay ? Right(F("0.0", r.takeoff), 9) + Right(F("0.0", r.azimuth), 7) : std::string(16, ' ');
        if (r.fitted != 0) {
            line += Right(Sign(r.fitted), 5);
            if (run.solution) {
                const int predicted = PredictedPolarity(run.solution->planeA, focal::RayVector(r.ray));
                line += Right(Sign(predicted), 6) + (predicted == r.fitted ? "  tak" : "  NIE");
            }
        } else {
            line += "  (nie dopasowywany: " + r.note + ")";
        }
        out.push_back(line);
    }
}

void Solution(const RunRecord& run, std::vector<std::string>& out) {
    if (!run.solution) return;
    const FocalSolution& s = *run.solution;
    out.push_back("");
    out.push_back("Rozwiązanie (podwójna para sił, siatka co 1° przeszukana w całości):");
    out.push_back("Najmniejsza ważona niezgodność: " + F("0.0#", s.minimum) + " z " + F("0.0#", s.totalWeight) +
                  "; niezgodne odczyty: " + std::to_string(s.minimumCount) + " z " + std::to_string(s.fittedCount));
    out.push_back("Mechanizm o najmniejszej niezgodności (najbliższy środka zbioru): " + PlaneText(s.best));
    if (s.refinedMinimum < s.minimum)
        out.push_back("Po zagęszczeniu siatki do 0,2°: najmniejsza niezgodność " + F("0.0#", s.refinedMinimum));
    out.push_back("Szacowany udział błędnych polaryzacji: " + F("0.0", 100 * s.errorRate) + " %");
    out.push_back("Rozwiązanie (najbliższe środka zbioru akceptowalnego): niezgodność " + F("0.0#", s.misfit) +
                  ", niezgodne odczyty: " + std::to_string(s.misfitCount) + " z " + std::to_string(s.fittedCount));
    out.push_back("ACC (ważony udział zgodnych polaryzacji) = " + F("0.000", run.acc));
    out.push_back("Płaszczyzna A: " + PlaneText(s.planeA) + "   błędy " + ErrorText(s.errorsA));
    out.push_back("Płaszczyzna B: " + PlaneText(s.planeB) + "   błędy " + ErrorText(s.errorsB));
    out.push_back("Błędy: połowy szerokości przedziałów wokół płaszczyzny A lub B, w których leży 90 % zbioru");
    out.push_back("Oś P: azymut " + F("0.0", s.pAxis.trend) + "°, nachylenie " + F("0.0", s.pAxis.plunge) +
                  "°;  oś T: azymut " + F("0.0", s.tAxis.trend) + "°, nachylenie " + F("0.0", s.tAxis.plunge) + "°");
    out.push_back("Zbiór akceptowalny: niezgodność nie większa niż " + F("0.0#", s.minimum + s.tolerance) +
                  " (najmniejsza + " + F("0.0#", s.tolerance) + "): " + std::to_string(s.acceptableCount) +
                  " mechanizmów siatki, " + F("0.000", 100 * s.acceptableShare) + " % wszystkich");
    if (run.par)
        out.push_back("Próby promieni: " + std::to_string(s.trials) + " (błąd lokalizacji " +
                      F("0.#", run.par->locationError) + " m, błąd kąta fal pokładowych " +
                      F("0.0#", run.par->seamAngleError) + "°" + (run.par->errorsGiven ? "" : ", wartości domyślne") +
                      ")");
    out.push_back("Środek zbioru (średni tensor momentu, ważony wiarygodnością): " + PlaneText(s.centre) +
                  "; odległość rozwiązania od środka " + F("0.0", s.centreDistance) + "°");
    out.push_back("Rozrzut zbioru wokół rozwiązania (kąt Kagana, RMS): " + F("0.0", s.rmsRotation) +
                  "°; w promieniu 45°: " + F("0.0", 100 * s.shareWithin45) + " % zbioru");
    out.push_back("Rozkład stacji (średnia |amplituda P|): " + F("0.00", s.stationRatio) + "; luka azymutalna " +
                  F("0.0", s.azimuthGap) + "°, luka kątów wyjścia " + F("0.0", s.takeoffGap) + "°");
    out.push_back(
        "Jakość: " + std::string(1, s.quality) +
        "   (A: niezgodność do 15 %, rozrzut do 25°, ponad 80 % zbioru w 45°, rozkład stacji od 0,5; B: 20 %, 35°, "
        "60 %, 0,4; C: 30 %, 45°, 50 %, 0,3; D: pozostałe)");
    out.push_back("Przeszukane obszary siatki: " + std::to_string(s.boxesEvaluated));
}

}  // namespace

std::vector<std::string> ListingLines(const RunRecord& run) {
    std::vector<std::string> out;
    out.push_back("NPFA - mechanizm ogniska z polaryzacji pierwszych wstąpień fali P");
    out.push_back("");
    Input(run, out);
    Picks(run, out);
    Solution(run, out);
    out.push_back("");
    if (run.failure.empty())
        out.push_back("Obliczenia zakończone, wynik zapisany w pliku " +
                      (run.par ? run.par->res : std::string("NPF.RES")));
    else
        out.push_back("BŁĄD: " + run.failure + ". Plik wynikowy nie został zapisany.");
    return out;
}

}  // namespace dyma::npfa
