#include "core/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>

namespace qrv {
namespace {

constexpr int kMostDigits = 20;    // an int64_t has at most 19
constexpr int kMostDecimals = 40;  // far past a double's 17 significant digits

std::u16string Widened(std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

// The fixed form with so many decimals of a finite value, correctly rounded. Some standard
// libraries' <charconv> converts only integers (the web's); there the C library's printf does,
// whose decimal point a program's locale may have changed.
std::string FixedChars(double value, int decimals) {
    // Up to 309 digits before the point, the point, the decimals and a sign.
    std::array<char, 320 + kMostDecimals> text;
#if defined(__cpp_lib_to_chars)
    const auto result =
        std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, decimals);
    return std::string(text.data(), result.ptr);
#else
    const int length = std::snprintf(text.data(), text.size(), "%.*f", decimals, value);
    std::string fixed(text.data(), static_cast<size_t>(std::clamp(length, 0, int(text.size()) - 1)));
    const auto point = std::find_if(fixed.begin() + (value < 0 ? 1 : 0), fixed.end(),
                                    [](char c) { return c < '0' || c > '9'; });
    if (point != fixed.end()) {
        const auto digits = std::find_if(point, fixed.end(), [](char c) { return c >= '0' && c <= '9'; });
        fixed.replace(point, digits, ".");
    }
    return fixed;
#endif
}

}  // namespace

std::u16string IntegerText(int64_t value, int minimumDigits) {
    std::array<char, 24> digits;
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    std::string_view text(digits.data(), static_cast<size_t>(result.ptr - digits.data()));
    std::u16string out;
    if (value < 0) {
        out = u"-";
        text.remove_prefix(1);
    }
    const int width = std::min(minimumDigits, kMostDigits);
    if (width > static_cast<int>(text.size())) out.append(static_cast<size_t>(width) - text.size(), u'0');
    return out + Widened(text);
}

std::u16string RealText(double value, int decimals) {
    if (std::isnan(value)) return u"nan";
    if (std::isinf(value)) return value < 0 ? u"-inf" : u"inf";
    std::string text = FixedChars(value, std::clamp(decimals, 0, kMostDecimals));
    // -0.001 with two decimals shows as "0.00", not "-0.00".
    if (text.starts_with('-') && text.find_first_not_of("0.", 1) == std::string::npos) text.erase(0, 1);
    return Widened(text);
}

}  // namespace qrv
