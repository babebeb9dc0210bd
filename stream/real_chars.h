#pragma once

#include <string>
#include <string_view>

namespace qrv {

// Reals as ASCII text and back with the C library alone, giving what std::to_chars and
// std::from_chars give for them: for standard libraries whose <charconv> has no floating-point
// overloads.

// The shortest text that reads back to the value, the closest to it among texts of that length:
// the shorter of the fixed and the scientific form (fixed on a tie), an exponent with its sign
// and at least two digits, "inf", "nan" and "-0" as they are.
[[nodiscard]] std::string ShortestRealChars(double value);
[[nodiscard]] std::string ShortestRealChars(float value);

// The length of the longest decimal real at the start of the text: an optional "-", then
// digits with an optional point and an optional exponent, or "inf", "infinity", "nan",
// "nan(...)" in any case; 0 when there is none. Hexadecimal is not taken ("0x1p3" is "0").
[[nodiscard]] size_t RealPrefixLength(std::string_view ascii);

// The value of that longest prefix, 0 when there is none; beyond the range of a double the
// result saturates to an infinity or zero as strtod's does.
[[nodiscard]] double ReadRealPrefix(std::string_view ascii);

}  // namespace qrv
