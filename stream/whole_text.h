#pragma once

#include <string>
#include <string_view>

#include "stream/stream.h"

namespace qrv {

// A whole text file. A byte-order mark (FE FF, FF FE or EF BB BF) selects UTF-16 big- or
// little-endian or UTF-8 and is not part of the text; without one every byte is one Latin-1
// character. A URL that does not open raises TRuntimeError naming it.
std::u16string ReadWholeText(const Ref<TObject>& url);
std::u16string ReadWholeText(std::u16string_view url);

// Latin-1 (one byte per character, no mark) when every code unit fits in a byte, else
// UTF-16 little-endian after the mark FF FE. A URL that does not open raises TRuntimeError.
void WriteWholeText(std::u16string_view text, const Ref<TObject>& url);
void WriteWholeText(std::u16string_view text, std::u16string_view url);

}  // namespace qrv
