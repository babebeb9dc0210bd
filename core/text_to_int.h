#pragma once

#include <cstdint>
#include <string_view>

namespace qrv {

// The system's text-to-integer conversion: leading white space is skipped, then an optional
// "+" or "-", then "$" and hexadecimal digits, "%" and binary digits, or decimal digits.
// Reading stops at the first character that is not a digit of that kind; no digits give 0.
// A value beyond 32 bits wraps modulo 2^32 (so "4294967297" reads as 1); nothing is reported.
[[nodiscard]] int32_t TextToInt(std::u16string_view text);
// The same conversion in 64 bits; a value beyond range wraps modulo 2^64.
[[nodiscard]] int64_t TextToInt64(std::u16string_view text);

// The index of the first character of text that is not white space (a code unit above 32).
[[nodiscard]] size_t SkipWhiteSpace(std::u16string_view text);

}  // namespace qrv
