#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qrv {

// The absolute form of a path as Windows writes it ("C:\a\b", "\\server\share\a"), without the
// long-path prefix, for the calls that do not take one (the working directory); nothing under the
// same rules as NativePath.
[[nodiscard]] std::optional<std::wstring> FullNativePath(std::u16string_view path);

}  // namespace qrv
