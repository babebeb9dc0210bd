#include "stream/text_numbers.h"

#include <array>
#include <charconv>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/text_to_int.h"
#include "stream/real_chars.h"

namespace qrv {
namespace {

std::u16string Widened(std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

// Where <charconv> converts reals it does so here; some standard libraries convert only integers
// there, and real_chars.h gives the same texts and values through the C library.
#if defined(__cpp_lib_to_chars)
template <class Real>
std::string RealChars(Real value) {
    std::array<char, 64> digits;
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    return std::string(digits.data(), result.ptr);
}

double ReadReal(const std::string& ascii) {
    double value = 0;
    const auto result = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    // Out of range: from_chars leaves the value alone, strtod saturates to infinity or zero.
    if (result.ec == std::errc::result_out_of_range) return std::strtod(ascii.c_str(), nullptr);
    return result.ec == std::errc() ? value : 0.0;
}
#else
template <class Real>
std::string RealChars(Real value) {
    return ShortestRealChars(value);
}

double ReadReal(const std::string& ascii) {
    return ReadRealPrefix(ascii);
}
#endif

}  // namespace

double TextToReal(std::u16string_view text) {
    size_t pos = SkipWhiteSpace(text);
    // A real's text takes no "+"; it is ASCII, so anything wider ends it.
    if (pos < text.size() && text[pos] == u'+') ++pos;
    std::string ascii;
    for (; pos < text.size() && text[pos] > u' ' && text[pos] < 127; ++pos) {
        ascii.push_back(static_cast<char>(text[pos]));
    }
    return ReadReal(ascii);
}

std::u16string DecimalText(int64_t value) {
    std::array<char, 24> digits;
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    return Widened(std::string_view(digits.data(), static_cast<size_t>(result.ptr - digits.data())));
}

std::u16string DecimalText(float value) {
    return Widened(RealChars(value));
}

std::u16string DecimalText(double value) {
    return Widened(RealChars(value));
}

}  // namespace qrv
