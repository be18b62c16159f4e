#include "common/qualityfile.h"

#include <cmath>
#include <map>
#include <sstream>

#include "common/numberformat.h"

namespace dyma {

namespace {

constexpr char kHeader[] = "NPFA ACC 1";

std::string F(const char* picture, double v) { return FormatFloat(picture, v, '.'); }

bool Number(const std::string& text, double& v) { return TryStrToFloat(Trim(text), '.', v) && std::isfinite(v); }

}  // namespace

std::vector<std::string> QualityFileLines(const SolutionQuality& q) {
    std::vector<std::string> lines{kHeader};
    lines.push_back(std::string("QUALITY ") + q.quality);
    lines.push_back("MISFIT " + std::to_string(q.misfitCount));
    lines.push_back("POLARITIES " + std::to_string(q.polarityCount));
    lines.push_back("ERRORRATE " + F("0.000", q.errorRate));
    lines.push_back("STATIONRATIO " + F("0.000", q.stationRatio));
    lines.push_back("AZIMUTHGAP " + F("0.0", q.azimuthGap));
    lines.push_back("TAKEOFFGAP " + F("0.0", q.takeOffGap));
    lines.push_back("LOCATIONERROR " + F("0.#", q.locationError));
    lines.push_back("SEAMANGLEERROR " + F("0.0#", q.seamAngleError));
    lines.push_back("ACCEPTABLE " + std::to_string(q.axes.size()));
    for (const AcceptableAxes& a : q.axes)
        lines.push_back(F("0.0", a.pTrend) + " " + F("0.0", a.pPlunge) + " " + F("0.0", a.tTrend) + " " +
                        F("0.0", a.tPlunge));
    return lines;
}

bool ParseQualityFile(const std::vector<std::string>& lines, SolutionQuality& q, std::string& why) {
    if (lines.empty() || Trim(lines[0]) != kHeader) {
        why = "brak nagłówka \"" + std::string(kHeader) + "\"";
        return false;
    }
    std::map<std::string, std::string> values;
    size_t i = 1;
    for (; i < lines.size(); ++i) {
        std::istringstream ss(lines[i]);
        std::string key, value;
        ss >> key >> value;
        if (key.empty()) continue;
        values[key] = value;
        if (key == "ACCEPTABLE") break;
    }
    const auto number = [&](const char* key, double& v) {
        const auto it = values.find(key);
        if (it == values.end()) {
            why = std::string("brak wiersza ") + key;
            return false;
        }
        if (!Number(it->second, v)) {
            why = std::string(key) + ": \"" + it->second + "\" nie jest liczbą";
            return false;
        }
        return true;
    };
    const auto count = [&](const char* key, int& v, int most) {
        double d = 0;
        if (!number(key, d)) return false;
        if (d < 0 || d > most || d != std::floor(d)) {
            why = std::string(key) + ": niepoprawna liczba " + values[key];
            return false;
        }
        v = static_cast<int>(d);
        return true;
    };
    const auto it = values.find("QUALITY");
    if (it == values.end() || it->second.size() != 1 || it->second[0] < 'A' || it->second[0] > 'D') {
        why = "brak poprawnej klasy jakości (A-D)";
        return false;
    }
    q.quality = it->second[0];
    int acceptable = 0;
    if (!count("MISFIT", q.misfitCount, 100000) || !count("POLARITIES", q.polarityCount, 100000) ||
        !number("ERRORRATE", q.errorRate) || !number("STATIONRATIO", q.stationRatio) ||
        !number("AZIMUTHGAP", q.azimuthGap) || !number("TAKEOFFGAP", q.takeOffGap) ||
        !number("LOCATIONERROR", q.locationError) || !number("SEAMANGLEERROR", q.seamAngleError) ||
        !count("ACCEPTABLE", acceptable, kMaxAcceptableAxes))
        return false;
    q.axes.clear();
    for (++i; i < lines.size() && static_cast<int>(q.axes.size()) < acceptable; ++i) {
        std::istringstream ss(lines[i]);
        std::string t[4];
        ss >> t[0] >> t[1] >> t[2] >> t[3];
        AcceptableAxes a;
        if (!Number(t[0], a.pTrend) || !Number(t[1], a.pPlunge) || !Number(t[2], a.tTrend) ||
            !Number(t[3], a.tPlunge)) {
            why = "wiersz " + std::to_string(i + 1) + ": oczekiwano czterech kątów osi P i T";
            return false;
        }
        q.axes.push_back(a);
    }
    if (static_cast<int>(q.axes.size()) != acceptable) {
        why = "zapowiedziano " + std::to_string(acceptable) + " mechanizmów, jest " +
              std::to_string(q.axes.size());
        return false;
    }
    return true;
}

}  // namespace dyma
