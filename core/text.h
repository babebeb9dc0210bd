#pragma once

#include <string>
#include <string_view>

namespace qrv {

// Texts are 16-bit code units. These convert at the edges: UTF-8 for the C libraries and the
// console, Latin-1 for byte-level streams (one byte per code unit, higher units truncated).
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view utf8);
std::string ToLatin1(std::u16string_view text);
std::u16string FromLatin1(std::string_view bytes);

}  // namespace qrv
