#include "numberformat.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace dyma {

ConversionError::ConversionError(const std::string& text)
    : std::runtime_error("'" + text + "' nie jest prawidłową wartością liczbową"), text_(text) {}

std::string Trim(std::string_view text) {
    size_t b = 0;
    size_t e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
    return std::string(text.substr(b, e - b));
}

std::string ToUpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string ToLowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

std::string ReplaceAll(std::string text, char from, char to) {
    for (char& c : text)
        if (c == from) c = to;
    return text;
}

// ---------------------------------------------------------------- parsing

bool TryStrToFloat(std::string_view text, char sep, double& value) {
    // Validate the shape ourselves so that nothing locale- or library-
    // specific ("inf", "nan", hex floats, blanks) slips through.
    std::string normal;
    normal.reserve(text.size());
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') normal += '-';
        ++i;
    }
    int mantissaDigits = 0;
    bool seenSep = false;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c >= '0' && c <= '9') {
            normal += c;
            ++mantissaDigits;
        } else if (c == sep && !seenSep) {
            seenSep = true;
            normal += '.';
        } else {
            break;
        }
    }
    if (mantissaDigits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        normal += 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) normal += text[i++];
        int expDigits = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            normal += text[i];
            ++expDigits;
        }
        if (expDigits == 0) return false;
    }
    if (i != text.size()) return false;
    double v = 0;
    auto res = std::from_chars(normal.data(), normal.data() + normal.size(), v);
    if (res.ec != std::errc() || res.ptr != normal.data() + normal.size()) return false;
    if (!std::isfinite(v)) return false;
    value = v;
    return true;
}

double StrToFloat(std::string_view text, char sep) {
    double v = 0;
    if (!TryStrToFloat(text, sep, v)) throw ConversionError(std::string(text));
    return v;
}

bool TryStrToInt(std::string_view text, long long& value) {
    std::string_view t = text;
    bool negative = false;
    if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
        negative = t[0] == '-';
        t.remove_prefix(1);
    }
    if (t.empty()) return false;
    unsigned long long magnitude = 0;
    auto res = std::from_chars(t.data(), t.data() + t.size(), magnitude);
    if (res.ec != std::errc() || res.ptr != t.data() + t.size()) return false;
    if (magnitude > 9223372036854775807ULL) return false;
    value = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
    return true;
}

long long StrToInt(std::string_view text) {
    long long v = 0;
    if (!TryStrToInt(text, v)) throw ConversionError(std::string(text));
    return v;
}

double ParseNumber(std::string_view text, char sep) {
    std::string t = Trim(text);
    if (t.empty()) return 0.0;
    if (t.find(sep) == std::string::npos) {
        size_t dot = t.find('.');
        size_t comma = t.find(',');
        if (dot != std::string::npos)
            t[dot] = ',';
        else if (comma != std::string::npos)
            t[comma] = '.';
    }
    double v = 0;
    if (!TryStrToFloat(t, sep, v)) throw ConversionError(Trim(text));
    return v;
}

bool CheckNumberField(std::string_view text, char sep) {
    std::string t = Trim(ToUpperAscii(text));
    if (t.empty()) t = "0";
    char foreign = sep == ',' ? '.' : ',';
    t = ReplaceAll(t, foreign, sep);
    double v = 0;
    return TryStrToFloat(t, sep, v);
}

// ---------------------------------------------------------------- decimal digits

namespace {

// value = 0.d1d2d3... x 10^exponent; digits hold no trailing zeros;
// zero has no digits.
struct Decimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;
    bool IsZero() const { return digits.empty(); }
};

Decimal ToDecimal(double value) {
    Decimal d;
    d.negative = std::signbit(value);
    double a = std::fabs(value);
    if (a == 0.0 || !std::isfinite(a)) {
        d.negative = d.negative && a != 0.0;
        return d;
    }
    // 15 significant digits, correctly rounded as printf's "%.14e" would
    // give them, without printf's cost: a result file holds hundreds.
    char buf[40];
    const std::to_chars_result end = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, 14);
    std::string s(buf, end.ptr);
    size_t e = s.find('e');
    std::string mant = s.substr(0, e);
    int exp10 = std::atoi(s.c_str() + e + 1);
    std::string digits;
    for (char c : mant)
        if (c >= '0' && c <= '9') digits += c;
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    d.digits = digits;
    d.exponent = exp10 + 1;
    if (d.digits.empty()) d.negative = false;
    return d;
}

// Keeps `keep` leading digits (which may be zero or negative), rounding the
// rest half away from zero.
void RoundDigits(Decimal& d, int keep) {
    if (d.IsZero()) return;
    if (keep < 0) {
        d.digits.clear();
        d.exponent = 0;
        return;
    }
    if (keep >= static_cast<int>(d.digits.size())) return;
    bool up = d.digits[static_cast<size_t>(keep)] >= '5';
    d.digits.resize(static_cast<size_t>(keep));
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[static_cast<size_t>(i)] == '9') {
            d.digits[static_cast<size_t>(i)] = '0';
            --i;
        }
        if (i < 0) {
            d.digits.insert(d.digits.begin(), '1');
            d.exponent += 1;
        } else {
            d.digits[static_cast<size_t>(i)]++;
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    if (d.digits.empty()) {
        d.exponent = 0;
    }
}

char DigitAt(const Decimal& d, int index) {
    if (index < 0 || index >= static_cast<int>(d.digits.size())) return '0';
    return d.digits[static_cast<size_t>(index)];
}

// One section of a picture format, taken apart.
struct Picture {
    std::string prefix, suffix;
    int minInt = 0;      // '0's before the point
    int intPlaces = 0;   // '0's and '#'s before the point
    int maxFrac = 0;     // '0's and '#'s after the point
    int minFrac = 0;     // up to and including the last '0' after the point
    bool hasPoint = false;
    bool scientific = false;
    char expChar = 'E';
    bool expAlwaysSign = false;
    int expDigits = 0;
    bool empty = true;   // no placeholder at all
};

Picture ParsePicture(std::string_view s) {
    Picture p;
    bool inNumber = false, afterNumber = false, afterPoint = false;
    std::string* literal = &p.prefix;
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"' || c == '\'') {
            if (inNumber) {
                afterNumber = true;
                literal = &p.suffix;
            }
            size_t j = s.find(c, i + 1);
            if (j == std::string_view::npos) j = s.size();
            literal->append(s.substr(i + 1, j - i - 1));
            i = j;
            continue;
        }
        if (!afterNumber && (c == '0' || c == '#' || c == '.' || c == ',')) {
            inNumber = true;
            p.empty = false;
            if (c == '.') {
                if (!afterPoint) {
                    afterPoint = true;
                    p.hasPoint = true;
                }
            } else if (c == ',') {
                // thousands grouping is not used by this program's formats
            } else if (afterPoint) {
                ++p.maxFrac;
                if (c == '0') p.minFrac = p.maxFrac;
            } else {
                ++p.intPlaces;
                if (c == '0') ++p.minInt;
            }
            continue;
        }
        if (inNumber && !afterNumber && (c == 'E' || c == 'e') && i + 1 < s.size() &&
            (s[i + 1] == '+' || s[i + 1] == '-')) {
            p.scientific = true;
            p.expChar = c;
            p.expAlwaysSign = s[i + 1] == '+';
            i += 2;
            while (i < s.size() && (s[i] == '0' || s[i] == '#')) {
                ++p.expDigits;
                ++i;
            }
            --i;
            afterNumber = true;
            literal = &p.suffix;
            continue;
        }
        if (inNumber) {
            afterNumber = true;
            literal = &p.suffix;
        }
        literal->push_back(c);
    }
    return p;
}

std::vector<std::string> SplitSections(std::string_view pattern) {
    std::vector<std::string> out(1);
    char quote = 0;
    for (char c : pattern) {
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';') {
            out.emplace_back();
            continue;
        }
        out.back().push_back(c);
    }
    return out;
}

std::string RenderFixed(Decimal d, const Picture& p, char sep) {
    RoundDigits(d, d.exponent + p.maxFrac);
    std::string intPart;
    for (int i = 0; i < d.exponent; ++i) intPart += DigitAt(d, i);
    while (static_cast<int>(intPart.size()) < p.minInt) intPart.insert(intPart.begin(), '0');
    std::string frac;
    for (int i = 0; i < p.maxFrac; ++i) frac += DigitAt(d, d.exponent + i);
    while (static_cast<int>(frac.size()) > p.minFrac && frac.back() == '0') frac.pop_back();
    std::string out = intPart;
    if (!frac.empty()) {
        out += sep;
        out += frac;
    }
    if (out.empty()) out = "0";
    return out;
}

std::string RenderScientific(Decimal d, const Picture& p, char sep) {
    int intDigits = p.intPlaces > 0 ? p.intPlaces : 1;
    RoundDigits(d, intDigits + p.maxFrac);
    int shownExp = d.IsZero() ? 0 : d.exponent - intDigits;
    std::string intPart;
    for (int i = 0; i < intDigits; ++i) intPart += DigitAt(d, i);
    std::string frac;
    for (int i = 0; i < p.maxFrac; ++i) frac += DigitAt(d, intDigits + i);
    while (static_cast<int>(frac.size()) > p.minFrac && frac.back() == '0') frac.pop_back();
    std::string out = intPart;
    if (!frac.empty()) {
        out += sep;
        out += frac;
    }
    out += p.expChar;
    if (shownExp < 0)
        out += '-';
    else if (p.expAlwaysSign)
        out += '+';
    std::string e = std::to_string(std::abs(shownExp));
    while (static_cast<int>(e.size()) < p.expDigits) e.insert(e.begin(), '0');
    out += e;
    return out;
}

bool RoundsToZero(Decimal d, const Picture& p) {
    if (p.scientific) return d.IsZero();
    RoundDigits(d, d.exponent + p.maxFrac);
    return d.IsZero();
}

std::string RenderSection(const Decimal& d, const Picture& p, char sep) {
    if (p.empty) return p.prefix + p.suffix;
    std::string body = p.scientific ? RenderScientific(d, p, sep) : RenderFixed(d, p, sep);
    return p.prefix + body + p.suffix;
}

}  // namespace

std::string FloatToStr(double value, char sep) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    Decimal d = ToDecimal(value);
    if (d.IsZero()) return "0";
    std::string out = d.negative ? "-" : "";
    const int n = static_cast<int>(d.digits.size());
    if (d.exponent > 15 || d.exponent < -3) {
        out += d.digits[0];
        if (n > 1) {
            out += sep;
            out += d.digits.substr(1);
        }
        out += 'E';
        out += std::to_string(d.exponent - 1);
        return out;
    }
    if (d.exponent <= 0) {
        out += '0';
        out += sep;
        out.append(static_cast<size_t>(-d.exponent), '0');
        out += d.digits;
        return out;
    }
    for (int i = 0; i < d.exponent; ++i) out += DigitAt(d, i);
    if (n > d.exponent) {
        out += sep;
        out += d.digits.substr(static_cast<size_t>(d.exponent));
    }
    return out;
}

std::string FormatFloat(std::string_view pattern, double value, char sep) {
    if (!std::isfinite(value)) return FloatToStr(value, sep);
    std::vector<std::string> sections = SplitSections(pattern);
    Decimal d = ToDecimal(value);
    Picture positive = ParsePicture(sections[0]);
    if (positive.empty && positive.prefix.empty() && positive.suffix.empty()) return FloatToStr(value, sep);

    const bool haveNegative = sections.size() >= 2 && !sections[1].empty();
    const bool haveZero = sections.size() >= 3 && !sections[2].empty();

    Picture chosen = positive;
    bool negativeSection = false;
    if (d.negative && haveNegative) {
        chosen = ParsePicture(sections[1]);
        negativeSection = true;
    }
    if (d.IsZero() || RoundsToZero(d, chosen)) {
        Decimal zero;
        if (haveZero) return RenderSection(zero, ParsePicture(sections[2]), sep);
        return RenderSection(zero, positive, sep);
    }
    Decimal magnitude = d;
    magnitude.negative = false;
    std::string body = RenderSection(magnitude, chosen, sep);
    if (d.negative && !negativeSection) return "-" + body;
    return body;
}

std::string FormatInt(long long value, int minDigits) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    while (static_cast<int>(digits.size()) < minDigits) digits.insert(digits.begin(), '0');
    return value < 0 ? "-" + digits : digits;
}

}  // namespace dyma
