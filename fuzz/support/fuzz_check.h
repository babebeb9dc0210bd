#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// What the fuzz targets share: a check that stops the run with a message (libFuzzer then saves
// the input as a crash), and the entry point every target defines.

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace qrv::fuzz {

[[noreturn]] inline void Fail(const char* file, int line, const char* condition, const std::string& detail) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n%s\n", file, line, condition, detail.c_str());
    std::abort();
}

}  // namespace qrv::fuzz

// Aborts with the condition, its place and `detail` (any std::string expression) when false.
#define FUZZ_CHECK(condition, detail)                                                   \
    do {                                                                                \
        if (!(condition)) ::qrv::fuzz::Fail(__FILE__, __LINE__, #condition, (detail));  \
    } while (false)
