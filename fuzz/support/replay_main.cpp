// Runs a fuzz target once on every file of the folders (or files) named on the command line,
// in name order, so the test suite replays the committed corpus without libFuzzer. A folder
// without inputs fails: a wrong path must not pass as an empty, clean run.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "support/fuzz_check.h"

// The limits libFuzzer runs with, for the sanitizers of the replay: no input of the corpus
// may make the program allocate a block it cannot justify or hold gigabytes. (The options
// given in ASAN_OPTIONS still win.)
extern "C" const char* __asan_default_options() {
    return "max_allocation_size_mb=512:allocator_may_return_null=0:hard_rss_limit_mb=2048";
}

namespace {

// Longer than any input takes, even under the sanitizers of a debug build; one that takes
// this long has hung, and the alarm ends the replay.
constexpr unsigned kSecondsPerInput = 30;

// Absolute paths, as targets may change the working folder.
std::vector<std::filesystem::path> InputsOf(const std::filesystem::path& given) {
    const std::filesystem::path path = std::filesystem::absolute(given);
    if (!std::filesystem::is_directory(path)) return {path};
    std::vector<std::filesystem::path> inputs;
    for (const auto& entry : std::filesystem::directory_iterator(path)) {
        if (entry.is_regular_file()) inputs.push_back(entry.path());
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

bool Replay(const std::filesystem::path& input) {
    std::ifstream file(input, std::ios::binary);
    if (!file) return false;
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    std::fprintf(stderr, "replaying %s (%zu bytes)\n", input.c_str(), bytes.size());
    // libFuzzer never passes a null pointer, not even for an empty input.
    static const uint8_t kNothing = 0;
    ::alarm(kSecondsPerInput);
    LLVMFuzzerTestOneInput(bytes.empty() ? &kNothing : bytes.data(), bytes.size());
    ::alarm(0);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    size_t replayed = 0;
    std::vector<std::vector<std::filesystem::path>> folders;
    for (int i = 1; i < argc; ++i) {
        folders.push_back(InputsOf(argv[i]));
        if (folders.back().empty()) {
            std::fprintf(stderr, "no inputs in %s\n", argv[i]);
            return 1;
        }
    }
    for (const auto& inputs : folders) {
        for (const auto& input : inputs) {
            if (!Replay(input)) {
                std::fprintf(stderr, "cannot read %s\n", input.c_str());
                return 1;
            }
            ++replayed;
        }
    }
    std::fprintf(stderr, "%zu inputs replayed\n", replayed);
    return replayed > 0 ? 0 : 1;
}
