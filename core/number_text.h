#pragma once

#include <cstdint>
#include <string>

namespace qrv {

// Numbers as text for showing them (a score, a time): ASCII digits in the framework's text.

// The decimal digits of the value, with zeros in front up to minimumDigits digits; a minus sign
// comes before them and does not count: IntegerText(120, 6) is "000120", IntegerText(-5, 3)
// "-005". minimumDigits above 20 counts as 20.
[[nodiscard]] std::u16string IntegerText(int64_t value, int minimumDigits = 1);

// The value with exactly `decimals` digits after the point ("3.14"; none and no point for 0),
// correctly rounded from the value's exact binary value, an exact half to the even digit as
// printf does (2.675 is stored just below it and gives "2.67"; 0.125 gives "0.12"). A result
// whose digits are all zero has no minus sign; infinities are "inf" and "-inf", NaN is "nan".
// decimals below 0 count as 0, above 40 as 40.
[[nodiscard]] std::u16string RealText(double value, int decimals);

}  // namespace qrv
