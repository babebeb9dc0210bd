#include "stream/whole_text.h"

#include <algorithm>
#include <array>
#include <vector>

#include "core/error.h"
#include "stream/stream_closer.h"
#include "stream/stream_utils.h"
#include "stream/text_stream.h"

namespace qrv {
namespace {

// Reads up to the three bytes of a byte-order mark, stopping at the first that cannot belong
// to one. Gives the encoding the mark selects, or 0 with the bytes looked at in `seen`.
int32_t ReadByteOrderMark(TStream& stream, std::vector<uint8_t>& seen) {
    static constexpr std::array<std::pair<std::array<uint8_t, 3>, int32_t>, 3> kMarks = {{
        {{0xFE, 0xFF, 0}, ENCODING_UTF16BE},
        {{0xFF, 0xFE, 0}, ENCODING_UTF16LE},
        {{0xEF, 0xBB, 0xBF}, ENCODING_UTF8},
    }};
    for (;;) {
        bool prefixOfAMark = false;
        for (const auto& [mark, encoding] : kMarks) {
            const size_t length = mark[2] ? 3 : 2;
            if (!std::equal(seen.begin(), seen.end(), mark.begin())) continue;
            if (seen.size() == length) return encoding;
            prefixOfAMark = true;
        }
        uint8_t byte = 0;
        if (!prefixOfAMark || stream.AtEnd() || stream.Read(&byte, 1) != 1) return 0;
        seen.push_back(byte);
    }
}

}  // namespace

std::u16string ReadWholeText(const Ref<TObject>& url) {
    auto stream = OpenStreamOrRaise(url, false);
    TStreamCloser closer(stream);
    std::vector<uint8_t> bytes;
    if (const int32_t encoding = ReadByteOrderMark(*stream, bytes)) {
        return TTextStream::OverStream(stream, encoding)->ReadToEnd();
    }
    const std::vector<uint8_t> rest = LoadBytes(*stream);
    bytes.insert(bytes.end(), rest.begin(), rest.end());
    return std::u16string(bytes.begin(), bytes.end());
}

std::u16string ReadWholeText(std::u16string_view url) {
    return ReadWholeText(MakeText(std::u16string(url)));
}

void WriteWholeText(std::u16string_view text, const Ref<TObject>& url) {
    if (std::all_of(text.begin(), text.end(), [](char16_t c) { return c <= 255; })) {
        SaveByteString(text, url);
        return;
    }
    auto stream = OpenStreamOrRaise(url, true);
    TStreamCloser closer(stream);
    auto utf16 = TTextStream::OverStream(stream, ENCODING_UTF16LE);
    utf16->WriteRawByte(0xFF);
    utf16->WriteRawByte(0xFE);
    utf16->WriteChars(text);
    closer.Close();
}

void WriteWholeText(std::u16string_view text, std::u16string_view url) {
    WriteWholeText(text, MakeText(std::u16string(url)));
}

}  // namespace qrv
