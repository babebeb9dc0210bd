#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qrv {

// File-system names are 8-bit: each code unit of a path becomes one byte, so any name that a
// listing gives back opens again unchanged. A path that holds a code unit above 255 or a zero
// cannot be expressed and gives nothing, rather than a truncated byte that could name another
// file (U+012F would otherwise become "/").
[[nodiscard]] std::optional<std::string> NativePath(std::u16string_view path);

// A name from the file system as text, one code unit per byte.
std::u16string FromNativePath(std::string_view path);

}  // namespace qrv
