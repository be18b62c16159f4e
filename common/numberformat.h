// Number parsing and formatting shared by the program, its tools and the
// plotting components.
//
// The decimal separator is always a parameter: the window code takes it from
// the system locale, the solver files always use '.', and tests run with both.
//
// Rounding: a value is first taken to its 15 significant decimal digits (the
// precision of a double that survives a decimal round trip), and that decimal
// text is rounded half away from zero at the requested digit. So 0.05 in "0.0"
// gives 0.1, 12.3455 in "0.000" gives 12.346 and -2.5 in "0" gives -3, as an
// operator reading the number expects, whatever the binary value underneath.
// A result that rounds to zero carries no minus sign ("-0.0" is never shown).
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace dyma {

// Raised when a text is not a number; the text says which text it was.
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const std::string& text);
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

// Strict conversion with the given decimal separator: optional blanks are
// not allowed, one optional sign, digits with at most one separator, an
// optional exponent. Throws ConversionError otherwise.
double StrToFloat(std::string_view text, char decimalSeparator);
bool TryStrToFloat(std::string_view text, char decimalSeparator, double& value);

// Whole decimal integer with optional sign; throws ConversionError otherwise.
long long StrToInt(std::string_view text);
bool TryStrToInt(std::string_view text, long long& value);

// The tolerant number reader for project files and operator input: trimmed,
// an empty text is 0, the locale's separator, or "." and "," exchanged once.
double ParseNumber(std::string_view text, char decimalSeparator);

// The check run when the operator leaves a numeric edit: upper-cased,
// trimmed, empty counts as "0", the foreign separator is taken as the
// locale's. True when the text then converts.
bool CheckNumberField(std::string_view text, char decimalSeparator);

// Shortest decimal text with up to 15 significant digits; exponent form
// ("1E-5", "1.5E20") for very small or very large magnitudes.
std::string FloatToStr(double value, char decimalSeparator);

// Picture formats: '0' digit, '#' optional digit, '.' decimal point,
// "E+0"/"E-0"/"e+0"/"e-0" exponent, up to three sections separated by ';'
// (positive; negative; zero), quoted or other characters copied literally.
std::string FormatFloat(std::string_view pattern, double value, char decimalSeparator);

// Convenience for "000"-style zero padding of integers.
std::string FormatInt(long long value, int minDigits);

std::string Trim(std::string_view text);
std::string ToUpperAscii(std::string_view text);
std::string ToLowerAscii(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
// Replaces every occurrence of `from` by `to`.
std::string ReplaceAll(std::string text, char from, char to);

}  // namespace dyma
