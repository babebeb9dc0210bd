// The settings file and the byte-level line reader under it, with the text-to-integer
// conversion, each against a model of its rules written independently here: lines end at LF,
// at a zero byte or where the data ends, CR bytes vanish; a number is white space, a sign,
// "$" (hexadecimal) or "%" (binary) or neither (decimal), then digits, wrapping modulo 2^32 or
// 2^64.
#include <cstdio>
#include <string>
#include <vector>

#include "core/text_to_int.h"
#include "game/settings.h"
#include "stream/ram_stream.h"
#include "stream/stream_module.h"
#include "support/fuzz_check.h"
#include "support/scratch_folder.h"

namespace {

std::vector<std::u16string> ModelLines(const uint8_t* data, size_t size) {
    std::vector<std::u16string> lines;
    std::u16string line;
    bool open = false;
    for (size_t i = 0; i < size; ++i) {
        open = true;
        if (data[i] == '\n' || data[i] == 0) {
            lines.push_back(line);
            line.clear();
            open = false;
        } else if (data[i] != '\r') {
            line.push_back(data[i]);
        }
    }
    if (open) lines.push_back(line);
    return lines;
}

int DigitIn(char16_t c, unsigned base) {
    static const std::u16string kDigits = u"0123456789abcdef";
    const char16_t lower = c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
    const size_t digit = kDigits.find(lower);
    return digit != std::u16string::npos && digit < base ? static_cast<int>(digit) : -1;
}

// The value modulo 2^64 as the sum of digit * base^k, built from the last digit back.
uint64_t ModelInteger(const std::u16string& text) {
    size_t i = 0;
    while (i < text.size() && text[i] <= u' ') ++i;
    const bool negative = i < text.size() && text[i] == u'-';
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) ++i;
    unsigned base = 10;
    if (i < text.size() && text[i] == u'$') base = 16, ++i;
    else if (i < text.size() && text[i] == u'%') base = 2, ++i;
    size_t end = i;
    while (end < text.size() && DigitIn(text[end], base) >= 0) ++end;
    uint64_t value = 0;
    uint64_t weight = 1;
    for (size_t k = end; k > i; --k) {
        value += weight * static_cast<uint64_t>(DigitIn(text[k - 1], base));
        weight *= base;
    }
    return negative ? ~value + 1 : value;
}

void CheckConversion(const std::u16string& text) {
    const uint64_t expected = ModelInteger(text);
    FUZZ_CHECK(static_cast<uint64_t>(qrv::TextToInt64(text)) == expected, "64-bit conversion");
    FUZZ_CHECK(static_cast<uint32_t>(qrv::TextToInt(text)) == static_cast<uint32_t>(expected),
               "32-bit conversion");
}

void CheckLineReader(const uint8_t* data, size_t size, const std::vector<std::u16string>& expected) {
    auto stream = qrv::TRamStream::OverMemory(data, static_cast<int32_t>(size));
    std::vector<std::u16string> lines;
    while (!stream->AtEnd()) {
        FUZZ_CHECK(lines.size() <= size, "the reader does not advance");
        lines.push_back(stream->ReadTextLine());
    }
    FUZZ_CHECK(lines == expected, "lines read differ from the model's");
    FUZZ_CHECK(stream->ReadTextLine().empty(), "a line after the end");
}

void CheckSettingsFile(const uint8_t* data, size_t size, const std::vector<std::u16string>& lines) {
    static const std::string path = (qrv::fuzz::ScratchFolder() / "zorvak.cfg").string();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(file && std::fwrite(data, 1, size, file) == size && std::fclose(file) == 0,
               "cannot write the scratch settings file");
    const zorvak::TSettings settings = zorvak::ReadSettings(std::u16string(path.begin(), path.end()));
    const auto lineOrEmpty = [&lines](size_t i) { return i < lines.size() ? lines[i] : std::u16string(); };
    FUZZ_CHECK(settings.introFlag == static_cast<int32_t>(ModelInteger(lineOrEmpty(1))), "introduction flag");
    FUZZ_CHECK(settings.difficulty == static_cast<int32_t>(ModelInteger(lineOrEmpty(3))), "difficulty");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qrv::InitStreamModule();
    if (size > 1 << 20) return 0;
    const std::vector<std::u16string> lines = ModelLines(data, size);
    CheckLineReader(data, size, lines);
    CheckSettingsFile(data, size, lines);
    for (const auto& line : lines) CheckConversion(line);
    // The same bytes as 16-bit code units reach characters a byte never gives.
    std::u16string wide;
    for (size_t i = 0; i + 1 < size; i += 2) wide.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
    CheckConversion(wide);
    return 0;
}
