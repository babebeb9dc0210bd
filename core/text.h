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

// Hands the one to four UTF-8 bytes of a code point, at most U+10FFFF, to `put(byte)`. Every
// writer of UTF-8 encodes through this.
template <class Put>
void EncodeUtf8(char32_t cp, Put&& put) {
    if (cp < 0x80) {
        put(static_cast<uint8_t>(cp));
        return;
    }
    int extra = cp < 0x800 ? 1 : cp < 0x10000 ? 2 : 3;
    constexpr uint8_t kLeads[] = {0, 0xC0, 0xE0, 0xF0};
    put(static_cast<uint8_t>(kLeads[extra] | cp >> 6 * extra));
    while (extra-- > 0) put(static_cast<uint8_t>(0x80 | (cp >> 6 * extra & 0x3F)));
}

// The code point at text[i] as UTF-8 carries it: a surrogate pair is one code point, and `i`
// moves onto its second half; a lone surrogate has none and is REPLACEMENT_CHARACTER, which
// reads back as one character where its own three bytes would read as three.
char32_t CodePointAt(std::u16string_view text, size_t& i);

// Texts are 16-bit code units. ToUtf8, FromUtf8, ToLatin1 and FromLatin1 convert at the edges:
// UTF-8 for the C libraries and the console, Latin-1 for byte-level streams (one byte per code
// unit, higher units truncated to their low byte). Malformed UTF-8 decodes as DecodeUtf8 says.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view utf8);
std::string ToLatin1(std::u16string_view text);
std::u16string FromLatin1(std::string_view bytes);

}  // namespace qrv
