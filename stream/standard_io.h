#pragma once

#include "stream/stream.h"
#include "stream/text_stream.h"

namespace qrv {

// The process's standard input (Read) and output (Write, Flush). Not seekable: the position is
// -1 and the size 0, so it never reports an end, and reading after the input is exhausted
// raises TStreamReadException through the reads that need their bytes.
class TCStandardIO final : public TStream {
public:
    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    void Flush() override;
};

// The UTF-8 text stream over standard input and output, shared by the whole program.
const Ref<TTextStream>& StandardTextStream();

// Writes the text and a line end to standard output and flushes it.
void PrintLine(std::u16string_view text);
// Writes the prompt, flushes, and reads one line from standard input.
std::u16string InputLine(std::u16string_view prompt);

}  // namespace qrv
