#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qrv {

// What a malformed UTF-8 sequence reads as.
inline constexpr char32_t REPLACEMENT_CHARACTER = 0xFFFD;

// Decodes the UTF-8 character that begins with the byte `lead`. `next()` gives each following
// byte, or -1 at the end of the data; a byte that cannot continue the character is handed to
// `giveBack(byte)`, as the first byte of the next character. A malformed sequence (a stray
// continuation byte, an overlong form, a surrogate, a code point beyond U+10FFFF, a sequence cut
// short) reads as REPLACEMENT_CHARACTER for the bytes taken so far, so no byte that follows it
// is lost. Every reader of UTF-8 decodes through this and agrees on malformed text.
template <class Next, class GiveBack>
char32_t DecodeUtf8(uint8_t lead, Next&& next, GiveBack&& giveBack) {
    if (lead < 0x80) return lead;
    int extra = 0;
    char32_t codePoint = 0;
    // The second byte's range excludes overlong forms, surrogates and code points past U+10FFFF.
    int low = 0x80;
    int high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        codePoint = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        codePoint = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return REPLACEMENT_CHARACTER;
    }
    for (int i = 0; i < extra; ++i) {
        const int byte = next();
        if (byte < 0) return REPLACEMENT_CHARACTER;
        if (byte < low || byte > high) {
            giveBack(byte);
            return REPLACEMENT_CHARACTER;
        }
        codePoint = codePoint << 6 | static_cast<char32_t>(byte & 0x3F);
        low = 0x80;
        high = 0xBF;
    }
    return codePoint;
}

// Texts are 16-bit code units. These convert at the edges: UTF-8 for the C libraries and the
// console, Latin-1 for byte-level streams (one byte per code unit, higher units truncated).
// Malformed UTF-8 decodes as DecodeUtf8 says.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view utf8);
std::string ToLatin1(std::u16string_view text);
std::u16string FromLatin1(std::string_view bytes);

}  // namespace qrv
