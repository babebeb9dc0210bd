#include "core/path_text.h"

#include "core/text.h"

namespace qrv {

#ifdef _WIN32

std::filesystem::path PathFromText(std::u16string_view text) {
    return std::filesystem::path(std::wstring(text.begin(), text.end()));
}

std::u16string TextFromPath(const std::filesystem::path& path) {
    const std::wstring generic = path.generic_wstring();
    return std::u16string(generic.begin(), generic.end());
}

#else

std::filesystem::path PathFromText(std::u16string_view text) {
    return std::filesystem::path(ToUtf8(text));
}

std::u16string TextFromPath(const std::filesystem::path& path) {
    return FromUtf8(path.native());
}

#endif

}  // namespace qrv
