#include "stream/standard_io.h"

#include <cstdio>

#include "stream/standard_io_mode.h"

namespace qrv {

int32_t TCStandardIO::Read(void* buffer, int32_t count) {
    if (count <= 0) return 0;
    platform::KeepUntranslated(stdin);
    return static_cast<int32_t>(std::fread(buffer, 1, static_cast<size_t>(count), stdin));
}

int32_t TCStandardIO::Write(const void* buffer, int32_t count) {
    if (count <= 0) return 0;
    platform::KeepUntranslated(stdout);
    return static_cast<int32_t>(std::fwrite(buffer, 1, static_cast<size_t>(count), stdout));
}

void TCStandardIO::Flush() {
    std::fflush(stdout);
}

const Ref<TTextStream>& StandardTextStream() {
    static const Ref<TTextStream> standard =
        TTextStream::OverStream(std::make_shared<TCStandardIO>(), ENCODING_UTF8);
    return standard;
}

void PrintLine(std::u16string_view text) {
    StandardTextStream()->WriteTextLine(text);
    StandardTextStream()->Flush();
}

std::u16string InputLine(std::u16string_view prompt) {
    StandardTextStream()->WriteChars(prompt);
    StandardTextStream()->Flush();
    return StandardTextStream()->ReadTextLine();
}

}  // namespace qrv
