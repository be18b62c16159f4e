// The QuakeML document of solved tremors: valid against the QuakeML 1.2
// schema (xmllint), and holding the planes, axes, figures and picks of the
// record, with angles turned from the grid's north to true north.
#include "app/document/iniimage.h"
#include "app/document/projectfile.h"
#include "app/results/quakeml.h"
#include "common/daycount.h"
#include "support/quakemldocument.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

using namespace dyma;
using namespace dyma::test;

namespace {

constexpr double kPi = 3.14159265358979323846;

const std::string kEvent = "quakeml/eventParameters/event/";
const std::string kMechanism = kEvent + "focalMechanism/";

TremorExport Tremor() {
    TremorExport t;
    t.projectFile = "/data/tremor 1.dym";
    SolutionRecord& r = t.record;
    r.Exists = true;
    r.SA = 129, r.DA = 86, r.RA = -75, r.SB = 233.6, r.RB = 15.5, r.DB = -164.9;
    r.SAB = 11.3, r.DAB = 6.9, r.RAB = 6.3, r.SBB = 19, r.RBB = 6.4, r.DBB = 25;
    r.PTrend = 54.5, r.PPlunge = 46.9, r.TTrend = 205.3, r.TPlunge = 39.2;
    r.Operator = "Józef Żółć";
    r.Description = "Wstrząs w rejonie XIV";
    t.recordStart = EncodeDate(2024, 3, 14) + EncodeTime(7, 42, 16, 0);
    t.xNorth = 1200, t.yEast = -800, t.zUp = -955;
    t.polarityCount = 2;
    t.misfit = 0.125;
    t.distributionRatio = 0.5;
    t.azimuthalGap = 97.5;
    t.nAxis = {307.9, 15.0};
    ExportedPick a;
    a.label = "12HH";
    a.network = "KG";
    a.station = "RUD12";
    a.channel = "HHZ";
    a.waveType = "C";
    a.phase = "P";
    a.time = t.recordStart + 0.8565 / 86400;
    a.polarity = -1;
    a.weight = 1;
    a.takeoff = 143.1;
    a.azimuth = 23.1;
    ExportedPick b = a;
    b.label = "3ZZ";
    b.network = "";
    b.station = "3";
    b.channel = "ZZ";
    b.waveType = "A";
    b.phase = "PA";
    b.polarity = +1;
    b.azimuth = 350;
    t.picks = {a, b};
    return t;
}

}  // namespace

TEST(QuakeML, TheDocumentIsValidAndHoldsTheSolution) {
    const TremorExport t = Tremor();
    const GeographicConverter grid("local:51.5,16.1,30");
    const std::string document = BuildQuakeML({t}, grid, "2024-05-01T10:00:00.000Z");
    test::TempDir dir;
    EXPECT_EQ(SchemaErrors(dir, document), "");

    const auto e = Elements(document);
    // Angles from the grid's north (its x axis, 30 degrees east of true
    // north) to true north; dips, rakes and plunges as they were.
    const std::string plane1 = kMechanism + "nodalPlanes/nodalPlane1/", plane2 = kMechanism + "nodalPlanes/nodalPlane2/";
    EXPECT_NEAR(One(e, plane1 + "strike/value"), 159, 1e-9);
    EXPECT_NEAR(One(e, plane1 + "strike/uncertainty"), 11.3, 1e-9);
    EXPECT_NEAR(One(e, plane1 + "dip/value"), 86, 1e-9);
    EXPECT_NEAR(One(e, plane1 + "dip/uncertainty"), 6.9, 1e-9);
    EXPECT_NEAR(One(e, plane1 + "rake/value"), -75, 1e-9);
    EXPECT_NEAR(One(e, plane1 + "rake/uncertainty"), 6.3, 1e-9);
    EXPECT_NEAR(One(e, plane2 + "strike/value"), 263.6, 1e-9);
    EXPECT_NEAR(One(e, plane2 + "strike/uncertainty"), 19, 1e-9);
    EXPECT_NEAR(One(e, plane2 + "dip/value"), 15.5, 1e-9);
    EXPECT_NEAR(One(e, plane2 + "dip/uncertainty"), 6.4, 1e-9);
    EXPECT_NEAR(One(e, plane2 + "rake/value"), -164.9, 1e-9);
    EXPECT_NEAR(One(e, plane2 + "rake/uncertainty"), 25, 1e-9);
    EXPECT_EQ(All(e, kMechanism + "nodalPlanes@preferredPlane"), std::vector<std::string>{"1"});

    const std::string axes = kMechanism + "principalAxes/";
    EXPECT_NEAR(One(e, axes + "tAxis/azimuth/value"), 235.3, 1e-9);
    EXPECT_NEAR(One(e, axes + "tAxis/plunge/value"), 39.2, 1e-9);
    EXPECT_NEAR(One(e, axes + "tAxis/length/value"), 1, 0);
    EXPECT_NEAR(One(e, axes + "pAxis/azimuth/value"), 84.5, 1e-9);
    EXPECT_NEAR(One(e, axes + "pAxis/plunge/value"), 46.9, 1e-9);
    EXPECT_NEAR(One(e, axes + "pAxis/length/value"), -1, 0);
    EXPECT_NEAR(One(e, axes + "nAxis/azimuth/value"), 337.9, 1e-9);
    EXPECT_NEAR(One(e, axes + "nAxis/plunge/value"), 15, 1e-9);
    EXPECT_NEAR(One(e, axes + "nAxis/length/value"), 0, 0);
    bool lengthsExplained = false;
    for (const std::string& c : All(e, kMechanism + "comment/text"))
        lengthsExplained = lengthsExplained || c.find("T 1, P -1, N 0") != std::string::npos;
    EXPECT_TRUE(lengthsExplained);

    EXPECT_NEAR(One(e, kMechanism + "azimuthalGap"), 97.5, 1e-12);
    EXPECT_NEAR(One(e, kMechanism + "stationPolarityCount"), 2, 0);
    EXPECT_NEAR(One(e, kMechanism + "misfit"), 0.125, 1e-12);
    EXPECT_NEAR(One(e, kMechanism + "stationDistributionRatio"), 0.5, 1e-12);
    EXPECT_EQ(All(e, kMechanism + "methodID"), std::vector<std::string>{SolverMethodId()});
    EXPECT_NE(SolverMethodId().find("NPFA.EXE/1.5.0"), std::string::npos);
    EXPECT_EQ(All(e, kMechanism + "creationInfo/author"), std::vector<std::string>{"Józef Żółć"});

    // The source where the grid puts it; its depth in metres below sea level.
    const GeoPoint source = grid.ToGeographic(1200, -800);
    EXPECT_NEAR(One(e, kEvent + "origin/latitude/value"), source.latitude, 1e-12);
    EXPECT_NEAR(One(e, kEvent + "origin/longitude/value"), source.longitude, 1e-12);
    EXPECT_NEAR(One(e, kEvent + "origin/depth/value"), 955, 1e-9);
    EXPECT_EQ(All(e, kEvent + "origin/time/value"), std::vector<std::string>{"2024-03-14T07:42:16.000000Z"});
    const auto originComments = All(e, kEvent + "origin/comment/text");
    ASSERT_FALSE(originComments.empty());
    EXPECT_NE(originComments[0].find("X = 1200.0 m"), std::string::npos) << originComments[0];
    EXPECT_NE(originComments[0].find("Y = -800.0 m"), std::string::npos) << originComments[0];
    EXPECT_NE(originComments[0].find("Z = -955.0 m"), std::string::npos) << originComments[0];

    // One pick per used polarity, its arrival pointing at it.
    EXPECT_EQ(All(e, kEvent + "pick/polarity"), (std::vector<std::string>{"negative", "positive"}));
    EXPECT_EQ(All(e, kEvent + "pick/phaseHint"), (std::vector<std::string>{"P", "PA"}));
    EXPECT_EQ(All(e, kEvent + "pick/time/value"),
              (std::vector<std::string>{"2024-03-14T07:42:16.856500Z", "2024-03-14T07:42:16.856500Z"}));
    EXPECT_EQ(All(e, kEvent + "pick/waveformID@networkCode"), (std::vector<std::string>{"KG", ""}));
    EXPECT_EQ(All(e, kEvent + "pick/waveformID@stationCode"), (std::vector<std::string>{"RUD12", "3"}));
    EXPECT_EQ(All(e, kEvent + "pick/waveformID@channelCode"), (std::vector<std::string>{"HHZ", "ZZ"}));
    EXPECT_EQ(All(e, kEvent + "pick@publicID"), All(e, kEvent + "origin/arrival/pickID"));
    EXPECT_EQ(All(e, kEvent + "origin/arrival/azimuth"), (std::vector<std::string>{"53.1", "20"}));
    EXPECT_EQ(All(e, kEvent + "origin/arrival/takeoffAngle/value"), (std::vector<std::string>{"143.1", "143.1"}));
    EXPECT_EQ(All(e, kEvent + "type"), std::vector<std::string>{"induced or triggered event"});
    EXPECT_EQ(All(e, kEvent + "description/text"), std::vector<std::string>{"Wstrząs w rejonie XIV"});
}

// Several tremors, two of them of the same name and start (from two
// folders), are several events with identifiers of their own.
TEST(QuakeML, EveryEventHasItsOwnIdentifiers) {
    TremorExport a = Tremor(), b = Tremor(), c = Tremor();
    b.projectFile = "/other/tremor 1.dym";
    c.projectFile = "/data/Wstrząs ż.dym";
    const std::string document = BuildQuakeML({a, b, c}, GeographicConverter("local:50.1,19.9,0"), CurrentIsoUtc());
    test::TempDir dir;
    EXPECT_EQ(SchemaErrors(dir, document), "");
    const auto e = Elements(document);
    const std::vector<std::string> ids = All(e, "quakeml/eventParameters/event@publicID");
    ASSERT_EQ(ids.size(), 3u);
    EXPECT_NE(ids[0], ids[1]);
    EXPECT_NE(ids[1], ids[2]);
    EXPECT_NE(ids[0], ids[2]);
    const std::vector<std::string> picks = All(e, kEvent + "pick@publicID");
    EXPECT_EQ(std::set<std::string>(picks.begin(), picks.end()).size(), 6u);
}

// A source the system cannot place gives the reason and no document.
TEST(QuakeML, ASourceOutsideTheSystemGivesNoDocument) {
    TremorExport t = Tremor();
    t.xNorth = 1e12;
    EXPECT_THROW(BuildQuakeML({t}, GeographicConverter("EPSG:2180"), CurrentIsoUtc()), CoordinateSystemError);
}

// An origin needs a time: a document without the record's date gives the
// reason, not an origin in 1899.
TEST(QuakeML, ATremorWithoutItsRecordsDateGivesNoDocument) {
    TremorExport t = Tremor();
    t.recordStart = 0;
    try {
        BuildQuakeML({Tremor(), t}, GeographicConverter("local:50.1,19.9,0"), CurrentIsoUtc());
        FAIL() << "an origin without a time";
    } catch (const ExportError& e) {
        EXPECT_NE(std::string(e.what()).find("nie zawiera daty i czasu zapisu"), std::string::npos) << e.what();
    }
}
