#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "core/text.h"
#include "stream/stream.h"
#include "stream/stream_module.h"
#include "stream/text_stream.h"

// Reading lines through a UTF-8 text stream against the plain byte-level lines of a file
// stream over the same file: the ratio is the cost of decoding characters one by one.
namespace {

constexpr int kLines = 20000;

struct Fixture {
    std::filesystem::path folder;
    std::u16string linesFile;
    int64_t fileSize = 0;

    Fixture() {
        std::string pattern = (std::filesystem::temp_directory_path() / "qrv-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        folder = pattern;
        const std::string path = (folder / "lines.txt").string();
        std::FILE* lines = std::fopen(path.c_str(), "wb");
        // Half the characters ASCII, half two-byte Cyrillic letters, as the game's story text.
        for (int i = 0; i < kLines; ++i) {
            std::fprintf(lines, "line %6d \xD0\x96\xD0\xB8\xD0\xB2\xD0\xB0\xD1\x8F "
                                "\xD1\x81\xD1\x82\xD1\x80\xD0\xBE\xD0\xBA\xD0\xB0\r\n", i);
        }
        fileSize = std::ftell(lines);
        std::fclose(lines);
        linesFile = qrv::FromUtf8(path);
        qrv::InitStreamModule();
    }
    ~Fixture() { std::filesystem::remove_all(folder); }
};

Fixture& Data() {
    static Fixture fixture;
    return fixture;
}

void ReadAllLines(benchmark::State& state, const std::u16string& url) {
    for (auto _ : state) {
        auto stream = qrv::OpenReadStream(url);
        size_t characters = 0;
        while (!stream->AtEnd()) characters += stream->ReadTextLine().size();
        stream->Close();
        benchmark::DoNotOptimize(characters);
    }
    state.SetBytesProcessed(state.iterations() * Data().fileSize);
}

void BM_Utf8ReadTextLine(benchmark::State& state) {
    ReadAllLines(state, u"utf8::" + Data().linesFile);
}
BENCHMARK(BM_Utf8ReadTextLine)->Unit(benchmark::kMillisecond);

// The byte-level lines of the same file: no decoding, one character per byte.
void BM_Utf8ReadTextLine_Peer(benchmark::State& state) {
    ReadAllLines(state, Data().linesFile);
}
BENCHMARK(BM_Utf8ReadTextLine_Peer)->Unit(benchmark::kMillisecond);

void BM_Utf8WriteChars(benchmark::State& state) {
    const std::u16string line = u"line 12345 \u0416\u0438\u0432\u0430";
    const std::u16string url = u"utf8::" + qrv::FromUtf8((Data().folder / "out.txt").string());
    for (auto _ : state) {
        auto stream = qrv::OpenWriteStream(url);
        for (int i = 0; i < kLines; ++i) stream->WriteTextLine(line);
        stream->Close();
    }
    state.SetBytesProcessed(state.iterations() * Data().fileSize);
}
BENCHMARK(BM_Utf8WriteChars)->Unit(benchmark::kMillisecond);

}  // namespace
