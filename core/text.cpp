#include "core/text.h"

#include <cstdint>

namespace qrv {
namespace {

void AppendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}

}  // namespace

char32_t CodePointAt(std::u16string_view text, size_t& i) {
    const char32_t unit = text[i];
    if (unit < 0xD800 || unit >= 0xE000) return unit;
    if (unit < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
        return 0x10000 + ((unit - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    return REPLACEMENT_CHARACTER;
}

std::string ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        EncodeUtf8(CodePointAt(text, i), [&out](uint8_t byte) { out += static_cast<char>(byte); });
    }
    return out;
}

std::u16string FromUtf8(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    const auto next = [&]() -> int { return pos < utf8.size() ? static_cast<uint8_t>(utf8[pos++]) : -1; };
    const auto giveBack = [&](int) { --pos; };
    while (pos < utf8.size()) AppendUtf16(out, DecodeUtf8(static_cast<uint8_t>(utf8[pos++]), next, giveBack));
    return out;
}

std::string ToLatin1(std::u16string_view text) {
    std::string out(text.size(), '\0');
    for (size_t i = 0; i < text.size(); ++i) out[i] = static_cast<char>(text[i] & 0xFF);
    return out;
}

std::u16string FromLatin1(std::string_view bytes) {
    std::u16string out(bytes.size(), u'\0');
    for (size_t i = 0; i < bytes.size(); ++i) out[i] = static_cast<uint8_t>(bytes[i]);
    return out;
}

}  // namespace qrv
