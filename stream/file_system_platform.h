#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace qrv {

// The platform halves of the file helpers. Paths are taken as they are (see file_system.h's
// literal operations).

struct TPathInfo {
    int kind = 0;  // FILETYPE_FILE, FILETYPE_DIR or FILETYPE_NONE for anything else
    int64_t length = 0;
    int64_t modified = 0;  // seconds since 1970
    int32_t permissions = 0;  // mode & 0x1FF
};

// What the path names, links followed; nothing when it is missing. A path ending with a separator
// names only a folder.
std::optional<TPathInfo> LiteralPathInfo(std::u16string_view path);
// Whether both paths exist and name one file, also through links or different spellings.
bool IsSameFile(std::u16string_view a, std::u16string_view b);

}  // namespace qrv
