#include "stream/text_numbers.h"

#include <array>
#include <charconv>
#include <cstdlib>
#include <string>

#include "core/text_to_int.h"

namespace qrv {
namespace {

template <class Number>
std::u16string ToDecimal(Number value) {
    std::array<char, 64> digits;
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    return std::u16string(digits.data(), result.ptr);
}

}  // namespace

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
