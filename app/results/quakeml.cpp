#include "quakeml.h"

#include "app/document/projectfile.h"
#include "common/numberformat.h"
#include "common/product.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QXmlStreamWriter>

#include <cmath>
#include <set>

namespace dyma {

namespace {

constexpr char kBedNamespace[] = "http://quakeml.org/xmlns/bed/1.2";
constexpr char kQuakeMLNamespace[] = "http://quakeml.org/xmlns/quakeml/1.2";
constexpr char kIdPrefix[] = "smi:local/windyma/";

QString Q(const std::string& s) { return QString::fromStdString(s); }
QString Number(double v) { return Q(FloatToStr(v, '.')); }

double Azimuth(double gridAngle, double gridNorth) {
    double a = std::fmod(gridAngle + gridNorth, 360.0);
    if (a < 0) a += 360.0;
    // Values a hair below 360 from the sum read 0 when printed.
    return a >= 360.0 - 1e-9 ? 0.0 : a;
}

// The resource part of an identifier may hold letters, digits and a few
// marks; anything else (blanks, Polish letters) becomes "_".
std::string IdToken(const std::string& text) {
    std::string out;
    for (char c : text) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '.' || c == '_';
        out += plain ? c : '_';
    }
    return out.empty() ? std::string("tremor") : out;
}

class Writer {
public:
    explicit Writer(QByteArray& out) : xml_(&out) {
        xml_.setAutoFormatting(true);
        xml_.setAutoFormattingIndent(2);
    }

    QXmlStreamWriter& Xml() { return xml_; }

    void Text(const char* name, const std::string& value) { xml_.writeTextElement(name, Q(value)); }
    void Value(const char* name, double value) {
        xml_.writeStartElement(name);
        xml_.writeTextElement("value", Number(value));
        xml_.writeEndElement();
    }
    void ValueWithUncertainty(const char* name, double value, double uncertainty) {
        xml_.writeStartElement(name);
        xml_.writeTextElement("value", Number(value));
        xml_.writeTextElement("uncertainty", Number(uncertainty));
        xml_.writeEndElement();
    }
    void Comment(const std::string& text) {
        xml_.writeStartElement("comment");
        Text("text", text);
        xml_.writeEndElement();
    }
    void Axis(const char* name, double azimuth, double plunge, double length) {
        xml_.writeStartElement(name);
        Value("azimuth", azimuth);
        Value("plunge", plunge);
        Value("length", length);
        xml_.writeEndElement();
    }
    void Plane(const char* name, double strike, double dip, double rake, double strikeError, double dipError,
               double rakeError) {
        xml_.writeStartElement(name);
        ValueWithUncertainty("strike", strike, strikeError);
        ValueWithUncertainty("dip", dip, dipError);
        ValueWithUncertainty("rake", rake, rakeError);
        xml_.writeEndElement();
    }

private:
    QXmlStreamWriter xml_;
};

// Everything of one tremor that needs its coordinate system, computed
// before a single element is written.
struct Placed {
    GeoPoint source;
    double gridNorth = 0;
};

std::string WaveTypeName(const std::string& waveType) {
    if (waveType == wave::kUpperSeam) return "fala pokładowa górna";
    if (waveType == wave::kLowerSeam) return "fala pokładowa dolna";
    return "fala bezpośrednia";
}

void WriteEvent(Writer& w, const TremorExport& t, const Placed& placed, const std::string& id,
                const std::string& coordinateSystem, const std::string& creationTime) {
    QXmlStreamWriter& xml = w.Xml();
    const SolutionRecord& r = t.record;
    const std::string originId = id + "/origin";
    const std::string mechanismId = id + "/focalmechanism";
    auto pickId = [&](size_t i) { return id + "/pick/" + std::to_string(i + 1); };

    xml.writeStartElement("event");
    xml.writeAttribute("publicID", Q(id));
    w.Text("preferredOriginID", originId);
    w.Text("preferredFocalMechanismID", mechanismId);
    // A tremor of a working mine: induced by the mining.
    w.Text("type", "induced or triggered event");
    if (!Trim(r.Description).empty()) {
        xml.writeStartElement("description");
        w.Text("text", r.Description);
        xml.writeEndElement();
    }

    for (size_t i = 0; i < t.picks.size(); ++i) {
        const ExportedPick& p = t.picks[i];
        xml.writeStartElement("pick");
        xml.writeAttribute("publicID", Q(pickId(i)));
        xml.writeStartElement("time");
        w.Text("value", IsoUtc(p.time));
        xml.writeEndElement();
        xml.writeStartElement("waveformID");
        xml.writeAttribute("networkCode", Q(p.network));
        xml.writeAttribute("stationCode", Q(p.station));
        if (!p.location.empty()) xml.writeAttribute("locationCode", Q(p.location));
        if (!p.channel.empty()) xml.writeAttribute("channelCode", Q(p.channel));
        xml.writeEndElement();
        w.Text("phaseHint", p.phase);
        w.Text("polarity", p.polarity > 0 ? "positive" : "negative");
        w.Text("evaluationMode", "manual");
        w.Comment("Kanał " + p.label + ", " + WaveTypeName(p.waveType) + ", waga " + FormatFloat("0.0", p.weight, '.') +
                  "; polaryzacja po uwzględnieniu odwróconych czujników i odwrócenia dokumentu.");
        xml.writeEndElement();
    }

    xml.writeStartElement("origin");
    xml.writeAttribute("publicID", Q(originId));
    xml.writeStartElement("time");
    w.Text("value", IsoUtc(t.recordStart));
    xml.writeEndElement();
    w.Value("latitude", placed.source.latitude);
    w.Value("longitude", placed.source.longitude);
    w.Value("depth", -t.zUp);
    w.Text("evaluationMode", "manual");
    for (size_t i = 0; i < t.picks.size(); ++i) {
        const ExportedPick& p = t.picks[i];
        xml.writeStartElement("arrival");
        xml.writeAttribute("publicID", Q(id + "/arrival/" + std::to_string(i + 1)));
        w.Text("pickID", pickId(i));
        w.Text("phase", p.phase);
        w.Text("azimuth", FloatToStr(Azimuth(p.azimuth, placed.gridNorth), '.'));
        w.Value("takeoffAngle", p.takeoff);
        xml.writeEndElement();
    }
    w.Comment("Współrzędne lokalne ogniska w układzie " + coordinateSystem + ": X = " +
              FormatFloat("0.0", t.xNorth, '.') + " m (północ), Y = " + FormatFloat("0.0", t.yEast, '.') +
              " m (wschód), Z = " + FormatFloat("0.0", t.zUp, '.') + " m (w górę, ujemne poniżej poziomu morza).");
    w.Comment("Czas ogniska nie jest wyznaczany: podano czas pierwszej próbki zapisu sejsmogramu.");
    xml.writeEndElement();

    xml.writeStartElement("focalMechanism");
    xml.writeAttribute("publicID", Q(mechanismId));
    w.Text("triggeringOriginID", originId);
    xml.writeStartElement("nodalPlanes");
    xml.writeAttribute("preferredPlane", "1");
    w.Plane("nodalPlane1", Azimuth(r.SA, placed.gridNorth), r.DA, r.RA, r.SAB, r.DAB, r.RAB);
    w.Plane("nodalPlane2", Azimuth(r.SB, placed.gridNorth), r.RB, r.DB, r.SBB, r.RBB, r.DBB);
    xml.writeEndElement();
    xml.writeStartElement("principalAxes");
    w.Axis("tAxis", Azimuth(r.TTrend, placed.gridNorth), r.TPlunge, 1);
    w.Axis("pAxis", Azimuth(r.PTrend, placed.gridNorth), r.PPlunge, -1);
    w.Axis("nAxis", Azimuth(t.nAxis.trend, placed.gridNorth), t.nAxis.plunge, 0);
    xml.writeEndElement();
    w.Text("azimuthalGap", FloatToStr(t.azimuthalGap, '.'));
    w.Text("stationPolarityCount", std::to_string(t.polarityCount));
    w.Text("misfit", FloatToStr(t.misfit, '.'));
    w.Text("stationDistributionRatio", FloatToStr(t.distributionRatio, '.'));
    w.Text("methodID", SolverMethodId());
    w.Text("evaluationMode", "manual");
    w.Comment("Długości osi głównych to wartości własne jednostkowej pary sił (podwójnej pary bez momentu "
              "sejsmicznego): T 1, P -1, N 0; rozwiązanie z polaryzacji pierwszych wstąpień nie wyznacza momentu.");
    w.Comment("Płaszczyzna preferowana 1 to płaszczyzna A, w której program NPFA.EXE podaje rozwiązanie; "
              "płaszczyzna 2 (B) jest płaszczyzną pomocniczą tej samej pary sił.");
    w.Comment("Bieg płaszczyzn, trend osi i azymuty odczytów liczone od północy geograficznej: do wartości "
              "w układzie sieci " + coordinateSystem + " dodano " + FormatFloat("0.000", placed.gridNorth, '.') +
              "° (kierunek osi X układu w miejscu ogniska).");
    if (!t.quality.empty()) w.Comment("Jakość rozwiązania: " + t.quality + ".");
    xml.writeStartElement("creationInfo");
    if (!Trim(r.Operator).empty()) w.Text("author", r.Operator.substr(0, 128));
    w.Text("creationTime", creationTime);
    w.Text("version", kProductDisplay);
    xml.writeEndElement();
    xml.writeEndElement();  // focalMechanism

    xml.writeStartElement("creationInfo");
    w.Text("creationTime", creationTime);
    xml.writeEndElement();
    xml.writeEndElement();  // event
}

}  // namespace

std::string SolverMethodId() {
    return std::string(kIdPrefix) + "method/NPFA.EXE/" + kVersionString;
}

std::string CurrentIsoUtc() {
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toStdString();
}

std::string BuildQuakeML(const std::vector<TremorExport>& tremors, const GeographicConverter& coordinates,
                         const std::string& creationTime) {
    // Every check and conversion first: a failure leaves nothing half
    // written. An origin needs a time: a document without the record's
    // date (made by hand) would otherwise claim 30 December 1899.
    std::vector<Placed> placed;
    for (const TremorExport& t : tremors) {
        if (!(t.recordStart > 0))
            throw ExportError("Plik projektu " + t.projectFile +
                              " nie zawiera daty i czasu zapisu sejsmogramu, a bez nich nie można podać czasu "
                              "zjawiska.");
        placed.push_back({coordinates.ToGeographic(t.xNorth, t.yEast), coordinates.GridNorthAzimuth(t.xNorth, t.yEast)});
    }

    QByteArray out;
    Writer w(out);
    QXmlStreamWriter& xml = w.Xml();
    xml.writeStartDocument();
    xml.writeNamespace(kQuakeMLNamespace, "q");
    xml.writeDefaultNamespace(kBedNamespace);
    xml.writeStartElement(kQuakeMLNamespace, "quakeml");
    xml.writeStartElement(kBedNamespace, "eventParameters");
    xml.writeAttribute("publicID", Q(std::string(kIdPrefix) + "eventparameters"));
    std::set<std::string> used;
    for (size_t i = 0; i < tremors.size(); ++i) {
        const TremorExport& t = tremors[i];
        // The project's name and the record's start; a second tremor of the
        // same name and start (from another folder) gets a number.
        std::string name = FileNamePart(t.projectFile);
        name.resize(name.size() - ExtensionOf(name).size());
        const std::string base =
            std::string(kIdPrefix) + IdToken(name) + "-" + IdToken(IsoUtc(t.recordStart).substr(0, 19));
        std::string id = base;
        for (int n = 2; used.count(id); ++n) id = base + "-" + std::to_string(n);
        used.insert(id);
        WriteEvent(w, t, placed[i], id, coordinates.Name(), creationTime);
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return out.toStdString();
}

}  // namespace dyma
