#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qrv {

// Numbers as lines of text, for text streams; integers are read with TextToInt64
// (core/text_to_int.h).
// Leading white space, then the longest decimal real ("-1.5e3", "inf", "nan" ...); 0 when none.
[[nodiscard]] double TextToReal(std::u16string_view text);

// Decimal texts that read back to the same value: integers exactly, reals in the shortest
// form that round-trips.
std::u16string DecimalText(int64_t value);
std::u16string DecimalText(float value);
std::u16string DecimalText(double value);

}  // namespace qrv
