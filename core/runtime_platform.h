#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace qrv {

// The platform halves of the runtime.

// The program's file as a path with "/" between names; empty when it cannot be found.
std::u16string FindProgramPath();
// Makes the folder the working directory; false when it cannot.
bool EnterFolder(const std::u16string& folder);

// The folder below which applications keep the user's data, as a path with "/" and no trailing
// "/"; empty, with the reason in LastFailure, when there is none.
std::u16string FindUserDataRoot();
// A file name as a path of this platform carries it: on POSIX systems its UTF-8 bytes, one
// code unit each, on Windows the name itself.
std::u16string NameInPath(std::u16string_view name);
// A folder's path as the system takes it: on POSIX systems one byte per code unit, on Windows
// the UTF-16 name.
std::filesystem::path NativeFolderPath(const std::u16string& path);

}  // namespace qrv
