#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "core/runtime_platform.h"
#include "core/text.h"

namespace qrv {

std::u16string FindProgramPath() {
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::u16string() : FromLatin1(path.native());
}

bool EnterFolder(const std::u16string& folder) {
    return ::chdir(ToLatin1(folder).c_str()) == 0;
}

}  // namespace qrv
