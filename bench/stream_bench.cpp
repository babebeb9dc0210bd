#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/text.h"
#include "stream/embedded_files.h"
#include "stream/stream.h"
#include "stream/stream_module.h"
#include "stream/stream_utils.h"

// Each layer operation runs beside a plain C loop over the same bytes, so the ratio of the two
// is the layer's overhead.
namespace {

constexpr size_t kBigFileSize = 64u << 20;
constexpr size_t kEmbeddedSize = 16u << 20;
constexpr int kShortLines = 200000;

struct Fixture {
    std::filesystem::path folder;
    std::string bigFile;
    std::string linesFile;
    std::vector<uint8_t> block;

    Fixture() {
        std::string pattern = (std::filesystem::temp_directory_path() / "qrv-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        folder = pattern;
        bigFile = (folder / "big.bin").string();
        linesFile = (folder / "lines.txt").string();

        std::vector<char> chunk(1 << 20);
        for (size_t i = 0; i < chunk.size(); ++i) chunk[i] = static_cast<char>(i * 131);
        std::FILE* big = std::fopen(bigFile.c_str(), "wb");
        for (size_t written = 0; written < kBigFileSize; written += chunk.size()) {
            std::fwrite(chunk.data(), 1, chunk.size(), big);
        }
        std::fclose(big);

        std::FILE* lines = std::fopen(linesFile.c_str(), "wb");
        for (int i = 0; i < kShortLines; ++i) std::fprintf(lines, "line %d\r\n", i);
        std::fclose(lines);

        block.assign(kEmbeddedSize, 7);
        qrv::InitStreamModule();
        qrv::RegisterEmbeddedFile(u"bench/block.bin", block.data(), static_cast<int32_t>(block.size()));
    }
    ~Fixture() { std::filesystem::remove_all(folder); }
};

Fixture& Data() {
    static Fixture fixture;
    return fixture;
}

std::vector<uint8_t> FreadAll(std::FILE* file, size_t expected) {
    std::vector<uint8_t> bytes(expected + 1);  // room to see the end without growing
    size_t length = 0;
    while (size_t n = std::fread(bytes.data() + length, 1, bytes.size() - length, file)) {
        length += n;
        if (length == bytes.size()) bytes.resize(bytes.size() * 3 / 2 + 1);
    }
    bytes.resize(length);
    return bytes;
}

void BM_LoadBytes64MiB(benchmark::State& state) {
    const std::u16string path = qrv::FromLatin1(Data().bigFile);
    for (auto _ : state) {
        std::vector<uint8_t> bytes = qrv::LoadBytes(path);
        if (bytes.size() != kBigFileSize) state.SkipWithError("wrong size");
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBigFileSize));
}
BENCHMARK(BM_LoadBytes64MiB)->Unit(benchmark::kMillisecond);

// The same bytes with fread into a fresh buffer that is not zero-filled first, as a program
// that knows the file's size would read it.
void BM_LoadBytes64MiB_Peer(benchmark::State& state) {
    for (auto _ : state) {
        std::FILE* file = std::fopen(Data().bigFile.c_str(), "rb");
        std::unique_ptr<uint8_t[]> bytes(new uint8_t[kBigFileSize + 1]);
        size_t length = 0;
        while (size_t n = std::fread(bytes.get() + length, 1, kBigFileSize + 1 - length, file)) length += n;
        std::fclose(file);
        if (length != kBigFileSize) state.SkipWithError("wrong size");
        benchmark::DoNotOptimize(bytes.get());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBigFileSize));
}
BENCHMARK(BM_LoadBytes64MiB_Peer)->Unit(benchmark::kMillisecond);

void BM_LoadBytesEmbedded(benchmark::State& state) {
    Data();
    for (auto _ : state) benchmark::DoNotOptimize(qrv::LoadBytes(u"incbin::bench/block.bin"));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kEmbeddedSize));
}
BENCHMARK(BM_LoadBytesEmbedded)->Unit(benchmark::kMillisecond);

void BM_FreadEmbedded(benchmark::State& state) {
    std::vector<uint8_t>& block = Data().block;
    for (auto _ : state) {
        std::FILE* file = fmemopen(block.data(), block.size(), "rb");
        benchmark::DoNotOptimize(FreadAll(file, kEmbeddedSize));
        std::fclose(file);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kEmbeddedSize));
}
BENCHMARK(BM_FreadEmbedded)->Unit(benchmark::kMillisecond);

void BM_ReadTextLine(benchmark::State& state) {
    const std::u16string path = qrv::FromLatin1(Data().linesFile);
    for (auto _ : state) {
        auto stream = qrv::OpenReadStream(path);
        int lines = 0;
        while (!stream->AtEnd()) {
            benchmark::DoNotOptimize(stream->ReadTextLine());
            ++lines;
        }
        stream->Close();
        if (lines != kShortLines) state.SkipWithError("wrong line count");
    }
    state.SetItemsProcessed(state.iterations() * kShortLines);
}
BENCHMARK(BM_ReadTextLine)->Unit(benchmark::kMillisecond);

// The same lines with fread in 64 KiB pieces, each line built as the same 16-bit text.
void BM_FreadLines(benchmark::State& state) {
    std::vector<char> buffer(64 << 10);
    for (auto _ : state) {
        std::FILE* file = std::fopen(Data().linesFile.c_str(), "rb");
        std::u16string line;
        int lines = 0;
        while (size_t n = std::fread(buffer.data(), 1, buffer.size(), file)) {
            for (size_t i = 0; i < n; ++i) {
                const auto byte = static_cast<uint8_t>(buffer[i]);
                if (byte == 10 || byte == 0) {
                    benchmark::DoNotOptimize(line);
                    line.clear();
                    ++lines;
                } else if (byte != 13) {
                    line += static_cast<char16_t>(byte);
                }
            }
        }
        std::fclose(file);
        if (lines != kShortLines) state.SkipWithError("wrong line count");
    }
    state.SetItemsProcessed(state.iterations() * kShortLines);
}
BENCHMARK(BM_FreadLines)->Unit(benchmark::kMillisecond);

}  // namespace
