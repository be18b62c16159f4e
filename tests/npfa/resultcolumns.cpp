#include "resultcolumns.h"

#include "app/solver/resultfile.h"

namespace dyma::test {

// The solver's result is read by the program's own parser, so every solver
// test is also a round trip solver -> NPF.RES -> the program.
bool ReadResColumns(const std::vector<std::string>& lines, ResFile& res, std::string& why) {
    SolutionRecord r;
    if (!ParseResult(r, lines, '.')) {
        why = "the program's parser refused NPF.RES";
        return false;
    }
    res = ResFile{};
    res.x = r.X;
    res.y = r.Y;
    res.z = r.Z;
    for (int k = 0; k < r.StationCount; ++k) {
        const SolutionStation& s = r.stations[static_cast<size_t>(k)];
        res.rows.push_back({static_cast<double>(s.No), s.Channel, s.XS, s.YS, s.ZS, s.TakeOff, s.Azimuth, s.Weight});
    }
    res.acc = r.ACC;
    res.sa = r.SA; res.da = r.DA; res.ra = r.RA;
    res.sb = r.SB; res.rb = r.RB; res.db = r.DB;
    res.ptrend = r.PTrend; res.ttrend = r.TTrend;
    res.sab = r.SAB; res.dab = r.DAB; res.rab = r.RAB;
    res.sbb = r.SBB; res.rbb = r.RBB; res.dbb = r.DBB;
    res.pplunge = r.PPlunge; res.tplunge = r.TPlunge;
    return true;
}

}  // namespace dyma::test
