#include "npfa/observations.h"

#include <cmath>
#include <random>

namespace dyma::npfa {

namespace {

// The ray of a pick by the shared rules. A direct wave straight above or
// below the source has a well-defined vertical ray, which the shared rule
// leaves as it found it (the picture cannot place it): start from the
// vertical values so that the fit still uses it. A seam wave has no
// direction towards such a station and cannot be fitted.
bool PickRay(const std::string& type, double dx, double dy, double dz, const focal::SeamModel& model,
             focal::RayAngles& ray, std::string& note) {
    ray = dz >= 0 ? focal::RayAngles{0, 0, -1, 0, 0} : focal::RayAngles{180, 0, 1, 0, 0};
    const focal::RayResult r = focal::ComputeRay(type, dx, dy, dz, model, ray);
    if (r == focal::RayResult::Unchanged) {
        note = type.empty() ? "brak typu fali" : "nieznany typ fali \"" + type + "\"";
        return false;
    }
    if (r == focal::RayResult::NoOffset && (type == "A" || type == "B" || dz == 0)) {
        note =
            dz == 0 ? "stacja w miejscu ogniska" : "stacja w pionie nad lub pod ogniskiem: kierunek fali nieokreślony";
        return false;
    }
    return true;
}

}  // namespace

std::vector<PickRow> BuildPickRows(const DatFile& dat, const NetFile& net) {
    std::vector<PickRow> rows;
    rows.reserve(dat.picks.size());
    int number = 0;
    for (const DatPick& pick : dat.picks) {
        PickRow row;
        row.number = ++number;
        row.pick = pick;
        row.observed = pick.polarity == '+' ? 1 : pick.polarity == '-' ? -1 : 0;
        const NetStation* st = net.Find(pick.label);
        if (st == nullptr) {
            row.note = "brak kanału w pliku NET";
            rows.push_back(row);
            continue;
        }
        row.inNet = true;
        row.station = *st;
        const double dx = st->x - dat.x, dy = st->y - dat.y, dz = st->depth - dat.depth;
        if (!std::isfinite(dx) || !std::isfinite(dy) || !std::isfinite(dz)) {
            // Two coordinates each within the numbers but their difference not.
            row.note = "współrzędne stacji lub ogniska poza zakresem";
            rows.push_back(row);
            continue;
        }
        row.hasRay = PickRay(pick.waveType, dx, dy, dz, net.model, row.ray, row.note);
        if (row.hasRay) {
            row.takeoff = row.ray.Angle;
            double az = focal::Deg(std::atan2(row.ray.SinAl, row.ray.CosAl));
            if (az < 0) az += 360;
            row.azimuth = az;
        }
        if (row.hasRay) {
            if (row.observed == 0)
                row.note = pick.polarity == '0' ? "brak polaryzacji"
                                                : std::string("nieznana polaryzacja \"") + pick.polarity + "\"";
            else if (!(pick.weight > 0))
                row.note = "waga 0";
            else
                row.fitted = focal::KeepsPolarity(pick.waveType, st->depth, dat.depth, row.takeoff) ? row.observed
                                                                                                    : -row.observed;
        }
        rows.push_back(row);
    }
    return rows;
}

std::vector<Observation> FittedObservations(const std::vector<PickRow>& rows) {
    std::vector<Observation> obs;
    for (const PickRow& r : rows)
        if (r.fitted != 0) obs.push_back({focal::Normalized(focal::RayVector(r.ray)), r.fitted, r.pick.weight});
    return obs;
}

std::vector<std::vector<Observation>> RayTrials(const DatFile& dat, const NetFile& net,
                                                const std::vector<PickRow>& rows, double locationError,
                                                double seamAngleError, int count) {
    std::vector<std::vector<Observation>> trials;
    if (locationError <= 0 && seamAngleError <= 0) return trials;
    std::mt19937 rng(20240611u);
    std::normal_distribution<double> km(0, locationError * 0.001), deg(0, seamAngleError);
    for (int t = 0; t < count; ++t) {
        DatFile moved = dat;
        NetFile tilted = net;
        moved.x += km(rng);
        moved.y += km(rng);
        moved.depth += km(rng);
        tilted.model.aa += deg(rng);
        tilted.model.bb += deg(rng);
        const std::vector<PickRow> trial = BuildPickRows(moved, tilted);
        std::vector<Observation> obs;
        bool complete = trial.size() == rows.size();
        for (size_t i = 0; complete && i < rows.size(); ++i) {
            if (rows[i].fitted == 0) continue;
            if (trial[i].fitted == 0) complete = false;
            else obs.push_back({focal::Normalized(focal::RayVector(trial[i].ray)), trial[i].fitted, trial[i].pick.weight});
        }
        if (complete) trials.push_back(std::move(obs));
    }
    return trials;
}

}  // namespace dyma::npfa
