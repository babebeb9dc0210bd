#include "stream/native_path.h"

#include "core/text.h"

namespace qrv {

std::optional<std::string> NativePath(std::u16string_view path) {
    for (char16_t c : path) {
        if (c == 0 || c > 0xFF) return std::nullopt;
    }
    return ToLatin1(path);
}

std::u16string FromNativePath(std::string_view path) {
    return FromLatin1(path);
}

}  // namespace qrv
