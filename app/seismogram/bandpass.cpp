#include "app/seismogram/bandpass.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

namespace dyma::picking {

namespace {

using Complex = std::complex<double>;

// A digital pole pair as a section with one zero at z = 1 and one at z = -1
// (each band-pass section passes neither DC nor the Nyquist frequency).
Biquad SectionOf(Complex p1, Complex p2) {
    Biquad s;
    s.b0 = 1;
    s.b1 = 0;
    s.b2 = -1;
    s.a1 = -(p1 + p2).real();
    s.a2 = (p1 * p2).real();
    return s;
}

}  // namespace

std::string BandPassProblem(const BandPassSettings& settings, double rateHz) {
    if (!(rateHz > 0)) return "Nieznana częstotliwość próbkowania sygnału.";
    if (settings.order < 1 || settings.order > 8) return "Rząd filtru musi być liczbą od 1 do 8.";
    if (!(settings.lowHz > 0) || !(settings.highHz > settings.lowHz))
        return "Dolna częstotliwość graniczna filtru musi być dodatnia i mniejsza od górnej.";
    if (!(settings.highHz < rateHz / 2))
        return "Górna częstotliwość graniczna filtru musi być mniejsza od połowy częstotliwości próbkowania.";
    return "";
}

std::complex<double> Biquad::Response(double w) const {
    const Complex z1 = std::polar(1.0, -w);
    const Complex z2 = z1 * z1;
    return (b0 + b1 * z1 + b2 * z2) / (1.0 + a1 * z1 + a2 * z2);
}

BandPassFilter::BandPassFilter(const BandPassSettings& settings, double rateHz) : rateHz_(rateHz) {
    if (const std::string problem = BandPassProblem(settings, rateHz); !problem.empty())
        throw std::invalid_argument(problem);
    const double pi = std::numbers::pi;
    const double fs2 = 2 * rateHz;
    // Corners prewarped so that the bilinear transform puts them exactly
    // where they were asked for.
    const double w1 = fs2 * std::tan(pi * settings.lowHz / rateHz);
    const double w2 = fs2 * std::tan(pi * settings.highHz / rateHz);
    const double bandwidth = w2 - w1;
    const double centre2 = w1 * w2;
    const int n = settings.order;

    // Each pole of the low-pass prototype becomes two poles of the
    // band-pass; the bilinear transform takes them into the z plane.
    std::vector<Complex> upper;  // poles above the real axis, one per pair
    std::vector<Complex> real;
    for (int k = 0; k < n; ++k) {
        const Complex p = std::polar(1.0, pi * (2.0 * k + n + 1) / (2.0 * n));
        const Complex half = p * bandwidth / 2.0;
        const Complex root = std::sqrt(half * half - centre2);
        for (const Complex s : {half + root, half - root}) {
            const Complex z = (fs2 + s) / (fs2 - s);
            if (std::abs(z.imag()) < 1e-12 * std::abs(z))
                real.push_back(Complex(z.real(), 0));
            else if (z.imag() > 0)
                upper.push_back(z);
        }
    }
    for (const Complex z : upper) sections_.push_back(SectionOf(z, std::conj(z)));
    std::sort(real.begin(), real.end(), [](Complex a, Complex b) { return a.real() < b.real(); });
    for (size_t i = 0; i + 1 < real.size(); i += 2) sections_.push_back(SectionOf(real[i], real[i + 1]));

    // Unit gain at the centre of the band, shared out over the sections.
    const double centreHz = std::atan(std::sqrt(centre2) / fs2) * rateHz / pi;
    const double gain = std::abs(Response(centreHz));
    const double each = std::pow(gain, -1.0 / double(sections_.size()));
    for (Biquad& s : sections_) {
        s.b0 *= each;
        s.b1 *= each;
        s.b2 *= each;
    }
}

std::complex<double> BandPassFilter::Response(double hz) const {
    const double w = 2 * std::numbers::pi * hz / rateHz_;
    Complex h = 1;
    for (const Biquad& s : sections_) h *= s.Response(w);
    return h;
}

void BandPassFilter::SettleOn(double level) {
    // The state a section reaches on a constant input: its output is the
    // DC gain times the input, which is zero for every band-pass section
    // but the first one's input is the level itself.
    double in = level;
    for (Biquad& s : sections_) {
        const double dc = (s.b0 + s.b1 + s.b2) / (1 + s.a1 + s.a2);
        const double out = dc * in;
        s.z2 = s.b2 * in - s.a2 * out;
        s.z1 = s.b1 * in - s.a1 * out + s.z2;
        in = out;
    }
}

void BandPassFilter::Apply(std::span<double> samples) {
    if (samples.empty()) return;
    SettleOn(samples.front());
    for (Biquad& s : sections_)
        for (double& x : samples) x = s.Step(x);
}

void RemoveMean(std::span<double> samples) {
    if (samples.empty()) return;
    const double mean = std::accumulate(samples.begin(), samples.end(), 0.0) / double(samples.size());
    for (double& x : samples) x -= mean;
}

std::vector<double> ViewTrace(std::span<const double> raw, double rateHz, const BandPassSettings* filter) {
    std::vector<double> view(raw.begin(), raw.end());
    RemoveMean(view);
    if (filter) BandPassFilter(*filter, rateHz).Apply(view);
    return view;
}

}  // namespace dyma::picking
