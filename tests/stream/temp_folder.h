#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/text.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace qrv::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        std::random_device random;
        for (int attempt = 0; attempt < 100 && path.empty(); ++attempt) {
            const std::filesystem::path candidate = base / ("qrv-stream-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate)) path = candidate.string();
        }
        if (path.empty()) throw std::runtime_error("no fresh temporary folder");
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string Native(const std::string& name = "") const { return name.empty() ? path : path + "/" + name; }
    std::u16string operator/(const std::string& name) const { return FromLatin1(Native(name)); }

private:
    std::string path;
};

// Reading and writing files independently of the code under test.
inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Named pipes in the file system and /dev/full exist on POSIX systems only.
#ifdef _WIN32
inline constexpr bool kPosixSpecialFiles = false;
#else
inline constexpr bool kPosixSpecialFiles = true;
#endif

// Why named pipes cannot be tested here, or null where they can. Under node (the web build's
// tests) there is no thread to feed one, and node's file calls would block the program on it.
#if defined(_WIN32)
inline constexpr const char* kNoNamedPipes = "no named pipes in this file system";
#elif defined(__EMSCRIPTEN__)
inline constexpr const char* kNoNamedPipes = "no thread to feed a named pipe, and opening one blocks node";
#else
inline constexpr const char* kNoNamedPipes = nullptr;
#endif

inline bool MakeNamedPipe(const std::string& path) {
#ifdef _WIN32
    (void)path;
    return false;
#else
    return mkfifo(path.c_str(), 0600) == 0;
#endif
}

// A symbolic link to a folder; false where the system or the user's rights allow none.
inline bool MakeFolderLink(const std::string& target, const std::string& link) {
    std::error_code error;
    std::filesystem::create_directory_symlink(target, link, error);
    return !error;
}

inline std::string AsString(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace qrv::test
