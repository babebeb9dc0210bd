#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace qrv {

// Text as a std::filesystem::path and back, for the code that works with the standard library's
// paths: UTF-8 on POSIX systems, UTF-16 on Windows (where a narrow string would be read in the
// ANSI code page and lose every name outside it). Never raises, unlike the library's own
// conversions for text that is not valid Unicode. Text from a path has "/" between names, like
// every path of the framework.
std::filesystem::path PathFromText(std::u16string_view text);
std::u16string TextFromPath(const std::filesystem::path& path);

}  // namespace qrv
