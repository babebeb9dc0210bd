#include "stream/real_chars.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <type_traits>

namespace qrv {
namespace {

// A positive decimal d1.d2d3...dn × 10^exponent.
struct TDecimal {
    std::string digits;
    int exponent = 0;
};

std::string ScientificText(const TDecimal& d) {
    std::string text(1, d.digits[0]);
    if (d.digits.size() > 1) text += '.' + d.digits.substr(1);
    char exponent[16];
    const char sign = d.exponent < 0 ? '-' : '+';
    std::snprintf(exponent, sizeof exponent, "e%c%02d", sign, std::abs(d.exponent));
    return text + exponent;
}

// The value correctly rounded to so many significant digits.
TDecimal Rounded(double value, int digits) {
    char text[40];
    std::snprintf(text, sizeof text, "%.*e", digits - 1, value);
    const char* e = std::strchr(text, 'e');
    TDecimal d;
    for (const char* c = text; c < e; ++c) {
        if (*c != '.') d.digits += *c;
    }
    d.exponent = std::atoi(e + 1);
    return d;
}

// The next decimal up with as many digits: 1.29 → 1.30, 9.99 → 1.00e+1.
TDecimal NextUp(TDecimal d) {
    size_t i = d.digits.size();
    while (i > 0 && d.digits[i - 1] == '9') d.digits[--i] = '0';
    if (i > 0) {
        ++d.digits[i - 1];
    } else {
        d.digits.insert(0, 1, '1');
        d.digits.pop_back();
        ++d.exponent;
    }
    return d;
}

template <class Real>
Real ReadBack(const TDecimal& d) {
    const std::string text = ScientificText(d);
    if constexpr (std::is_same_v<Real, float>) {
        return std::strtof(text.c_str(), nullptr);
    } else {
        return std::strtod(text.c_str(), nullptr);
    }
}

// The decimal of n digits nearest the value that reads back to it, if there is one. The
// nearest is the value correctly rounded; when that misses below, the one above may still hit,
// where the gap to the next lower value is the narrower (at powers of two).
template <class Real>
std::optional<TDecimal> WithDigits(Real value, int n) {
    const TDecimal nearest = Rounded(value, n);
    if (ReadBack<Real>(nearest) == value) return nearest;
    if (ReadBack<double>(nearest) < value) {
        const TDecimal above = NextUp(nearest);
        if (ReadBack<Real>(above) == value) return above;
    }
    return std::nullopt;
}

// The fewest digits that read back to the value (finite and positive). Any more digits read back
// as well, so the count is searched by halves.
template <class Real>
TDecimal Shortest(Real value) {
    int fewest = 1;
    int most = std::numeric_limits<Real>::max_digits10;
    while (fewest < most) {
        const int middle = (fewest + most) / 2;
        if (WithDigits(value, middle)) {
            most = middle;
        } else {
            fewest = middle + 1;
        }
    }
    if (const std::optional<TDecimal> found = WithDigits(value, most)) return *found;
    return Rounded(value, most);
}

// The fixed form of the same digits; a whole number is written with its exact digits, which are
// the nearest of that length.
std::string FixedText(const TDecimal& d, double magnitude) {
    const int count = static_cast<int>(d.digits.size());
    if (d.exponent >= count - 1) {
        char text[400];
        std::snprintf(text, sizeof text, "%.0f", magnitude);
        return text;
    }
    if (d.exponent >= 0) {
        const auto point = static_cast<size_t>(d.exponent) + 1;
        return d.digits.substr(0, point) + '.' + d.digits.substr(point);
    }
    return "0." + std::string(static_cast<size_t>(-d.exponent - 1), '0') + d.digits;
}

template <class Real>
std::string PlainText(Real value) {
    if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
    const std::string sign = std::signbit(value) ? "-" : "";
    if (std::isinf(value)) return sign + "inf";
    if (value == 0) return sign + "0";
    const Real magnitude = std::abs(value);
    TDecimal d = Shortest(magnitude);
    while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
    const std::string fixed = FixedText(d, magnitude);
    const std::string scientific = ScientificText(d);
    return sign + (fixed.size() <= scientific.size() ? fixed : scientific);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

size_t DigitCount(std::string_view text, size_t pos) {
    size_t count = 0;
    while (pos + count < text.size() && IsDigit(text[pos + count])) ++count;
    return count;
}

bool StartsWithWord(std::string_view text, std::string_view lowerWord) {
    if (text.size() < lowerWord.size()) return false;
    for (size_t i = 0; i < lowerWord.size(); ++i) {
        if ((text[i] | 0x20) != lowerWord[i]) return false;
    }
    return true;
}

bool IsNanPayloadChar(char c) {
    const char lower = static_cast<char>(c | 0x20);
    return IsDigit(c) || c == '_' || (lower >= 'a' && lower <= 'z');
}

// "inf", "infinity", "nan", or "nan(" letters, digits and "_" ")".
size_t NamedValueLength(std::string_view text) {
    if (StartsWithWord(text, "infinity")) return 8;
    if (StartsWithWord(text, "inf")) return 3;
    if (!StartsWithWord(text, "nan")) return 0;
    if (text.size() > 3 && text[3] == '(') {
        size_t end = 4;
        while (end < text.size() && IsNanPayloadChar(text[end])) ++end;
        if (end < text.size() && text[end] == ')') return end + 1;
    }
    return 3;
}

}  // namespace

std::string ShortestRealChars(double value) {
    return PlainText(value);
}

std::string ShortestRealChars(float value) {
    return PlainText(value);
}

size_t RealPrefixLength(std::string_view ascii) {
    size_t pos = !ascii.empty() && ascii[0] == '-' ? 1 : 0;
    if (const size_t named = NamedValueLength(ascii.substr(pos))) return pos + named;
    const size_t whole = DigitCount(ascii, pos);
    pos += whole;
    const bool point = pos < ascii.size() && ascii[pos] == '.';
    const size_t fraction = point ? DigitCount(ascii, pos + 1) : 0;
    if (whole + fraction == 0) return 0;
    if (point) pos += 1 + fraction;
    if (pos < ascii.size() && (ascii[pos] | 0x20) == 'e') {
        size_t at = pos + 1;
        if (at < ascii.size() && (ascii[at] == '+' || ascii[at] == '-')) ++at;
        if (const size_t digits = DigitCount(ascii, at)) pos = at + digits;
    }
    return pos;
}

double ReadRealPrefix(std::string_view ascii) {
    const size_t length = RealPrefixLength(ascii);
    if (length == 0) return 0.0;
    return std::strtod(std::string(ascii.substr(0, length)).c_str(), nullptr);
}

}  // namespace qrv
