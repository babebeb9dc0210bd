#include "stream/cased_path.h"

#include "stream/directory.h"
#include "stream/file_system.h"

namespace qrv {
namespace {

std::u16string LowerAscii(std::u16string_view text) {
    std::u16string lower(text);
    for (char16_t& c : lower) {
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    }
    return lower;
}

// The entry of `folder` that matches `name` ignoring case, or empty.
std::u16string MatchEntry(std::u16string_view folder, std::u16string_view name) {
    const std::u16string wanted = LowerAscii(name);
    for (const std::u16string& entry : ListDirectory(folder, false)) {
        if (LowerAscii(entry) == wanted) return entry;
    }
    return {};
}

}  // namespace

std::u16string FindCasedPath(std::u16string_view path) {
    if (path.empty()) return {};
    if (PathKind(path) != FILETYPE_NONE) return std::u16string(path);

    // A trailing "/" is kept out of the lookup and put back on the match.
    std::u16string_view trailing;
    if (path.size() > 1 && path.back() == u'/') {
        trailing = u"/";
        path.remove_suffix(1);
    }

    const size_t slash = path.rfind(u'/');
    std::u16string prefix;
    std::u16string folder = u".";
    if (slash == 0) {
        prefix = u"/";
        folder = u"/";
    } else if (slash != std::u16string_view::npos) {
        prefix = FindCasedPath(path.substr(0, slash));
        if (prefix.empty()) return {};
        folder = prefix;
    }
    const std::u16string_view name = slash == std::u16string_view::npos ? path : path.substr(slash + 1);

    const std::u16string match = MatchEntry(folder, name);
    if (match.empty()) return {};
    if (prefix.empty()) return match + std::u16string(trailing);
    if (prefix.back() != u'/') prefix += u'/';
    return prefix + match + std::u16string(trailing);
}

}  // namespace qrv
