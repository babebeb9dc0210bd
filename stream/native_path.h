#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qrv {

// The form in which the system takes file names: bytes on POSIX systems, UTF-16 on Windows.
#ifdef _WIN32
using NativeChar = wchar_t;
#else
using NativeChar = char;
#endif
using NativeString = std::basic_string<NativeChar>;
using NativeStringView = std::basic_string_view<NativeChar>;

// A path of the framework as the system's file name, or nothing when it cannot name a file.
//
// POSIX: names are 8-bit, each code unit becomes one byte, so any name that a listing gives back
// opens again unchanged. A code unit above 255 or a zero gives nothing, rather than a truncated
// byte that could name another file (U+012F would otherwise become "/").
//
// Windows: the text goes to the system as it is, made absolute against the working directory
// (with "." and ".." resolved) and given the "\\?\" prefix ("\\?\UNC\" for "\\server\share"), so
// paths longer than 260 characters work. A zero, a device path ("\\.\"), a reserved device name
// (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, with or without extension, in any case, in any
// component) or a component ending in a dot or space gives nothing: the system would quietly
// open the device or drop the ending and reach another file.
[[nodiscard]] std::optional<NativeString> NativePath(std::u16string_view path);

// A name from the system as text (on Windows without a "\\?\" prefix).
std::u16string FromNativePath(NativeStringView path);

}  // namespace qrv
