#include "tremordocument.h"

#include "common/numberformat.h"

#include <cmath>

namespace dyma {

std::string wave::FromTag(int tag) {
    switch (tag) {
    case 0: return kDirect;
    case 1: return kUpperSeam;
    case 2: return kLowerSeam;
    default: return kNone;
    }
}

std::string ChannelSection(int ident) { return "Channel" + FormatInt(ident, 3); }
std::string StationSection(int row) { return "Station" + FormatInt(row, 3); }

double WeightToWage(int weight) { return weight * 0.01; }
int WageToWeight(double wage) { return static_cast<int>(std::lround(wage * 100.0)); }

double Distance(double x1, double y1, double z1, double x2, double y2, double z2) {
    const double dx = x1 - x2, dy = y1 - y2, dz = z1 - z2;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

}  // namespace dyma
