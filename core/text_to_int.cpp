#include "core/text_to_int.h"

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

}  // namespace

size_t SkipWhiteSpace(std::u16string_view text) {
    size_t pos = 0;
    while (pos < text.size() && text[pos] <= u' ') ++pos;
    return pos;
}

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
    // Unsigned arithmetic wraps modulo 2^64 by definition, and the conversion back to a signed
    // value is exact two's complement in C++20.
    uint64_t value = 0;
    for (; pos < text.size(); ++pos) {
        const int digit = DigitValue(text[pos], base);
        if (digit < 0) break;
        value = value * base + static_cast<uint64_t>(digit);
    }
    if (negative) value = 0u - value;
    return static_cast<int64_t>(value);
}

int32_t TextToInt(std::u16string_view text) {
    // Wrapping modulo 2^64 and then 2^32 is wrapping modulo 2^32.
    return static_cast<int32_t>(static_cast<uint32_t>(TextToInt64(text)));
}

}  // namespace qrv
