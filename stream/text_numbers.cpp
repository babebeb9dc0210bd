#include "stream/text_numbers.h"

#include <array>
#include <charconv>
#include <cstdlib>
#include <string>

namespace qrv {
namespace {

// The value of `c` as a digit of `base`, or -1.
int DigitValue(char16_t c, uint32_t base) {
    int value = -1;
    if (c >= u'0' && c <= u'9') value = c - u'0';
    else if (c >= u'a' && c <= u'f') value = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F') value = c - u'A' + 10;
    return value >= 0 && static_cast<uint32_t>(value) < base ? value : -1;
}

size_t SkipWhiteSpace(std::u16string_view text) {
    size_t pos = 0;
    while (pos < text.size() && text[pos] <= u' ') ++pos;
    return pos;
}

template <class Number>
std::u16string ToDecimal(Number value) {
    std::array<char, 64> digits;
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    return std::u16string(digits.data(), result.ptr);
}

}  // namespace

int64_t TextToInt64(std::u16string_view text) {
    size_t pos = SkipWhiteSpace(text);
    bool negative = false;
    if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-')) {
        negative = text[pos] == u'-';
        ++pos;
    }
    uint32_t base = 10;
    if (pos < text.size() && (text[pos] == u'$' || text[pos] == u'%')) {
        base = text[pos] == u'$' ? 16 : 2;
        ++pos;
    }
    // Unsigned arithmetic wraps by definition; the conversion back is two's complement.
    uint64_t value = 0;
    for (; pos < text.size(); ++pos) {
        const int digit = DigitValue(text[pos], base);
        if (digit < 0) break;
        value = value * base + static_cast<uint64_t>(digit);
    }
    if (negative) value = 0u - value;
    return static_cast<int64_t>(value);
}

double TextToReal(std::u16string_view text) {
    size_t pos = SkipWhiteSpace(text);
    // from_chars takes no "+"; a real's text is ASCII, so anything wider ends it.
    if (pos < text.size() && text[pos] == u'+') ++pos;
    std::string ascii;
    for (; pos < text.size() && text[pos] > u' ' && text[pos] < 127; ++pos) {
        ascii.push_back(static_cast<char>(text[pos]));
    }
    double value = 0;
    const auto result = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    // Out of range: from_chars leaves the value alone, strtod saturates to infinity or zero.
    if (result.ec == std::errc::result_out_of_range) return std::strtod(ascii.c_str(), nullptr);
    return result.ec == std::errc() ? value : 0.0;
}

std::u16string DecimalText(int64_t value) {
    return ToDecimal(value);
}

std::u16string DecimalText(float value) {
    return ToDecimal(value);
}

std::u16string DecimalText(double value) {
    return ToDecimal(value);
}

}  // namespace qrv
