#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qrv {

// The absolute form of a path as Windows writes it ("C:\a\b", "\\server\share\a"), without the
// long-path prefix, for the calls that do not take one (the working directory); nothing under the
// same rules as NativePath.
[[nodiscard]] std::optional<std::wstring> FullNativePath(std::u16string_view path);

// The text a Windows call writes into a wide buffer, for the calls that give the length they
// wrote, or the size they need (terminator included) when the buffer is too short, and 0 on
// failure (GetFullPathNameW, GetCurrentDirectoryW, GetFinalPathNameByHandleW): the buffer grows
// until the text fits. Nothing when the call fails.
[[nodiscard]] std::optional<std::wstring> WideTextOfCall(
    const std::function<uint32_t(wchar_t* buffer, uint32_t size)>& call);

}  // namespace qrv
