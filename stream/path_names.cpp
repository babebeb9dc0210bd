#include "stream/path_names.h"

#include <algorithm>
#include <vector>

namespace qrv {
namespace {

bool HasDrive(std::u16string_view path) {
    if (!PATHS_HAVE_DRIVES || path.size() < 2 || path[1] != u':') return false;
    const char16_t letter = path[0];
    return (letter >= u'A' && letter <= u'Z') || (letter >= u'a' && letter <= u'z');
}

// The length of a network path's root "//server/share", which ".." does not climb above; 0 for
// other paths.
size_t NetworkRootLength(std::u16string_view path) {
    if (!PATHS_HAVE_DRIVES || !path.starts_with(u"//")) return 0;
    const size_t server = path.find(u'/', 2);
    if (server == std::u16string_view::npos || server == 2) return 0;
    return std::min(path.find(u'/', server + 1), path.size());
}

// The position just after the last "/", or 0.
size_t FileNameStart(std::u16string_view path) {
    const size_t slash = path.rfind(u'/');
    return slash == std::u16string_view::npos ? 0 : slash + 1;
}

// The position of the extension's dot within the file name, or npos.
size_t ExtensionDot(std::u16string_view path) {
    const size_t dot = path.rfind(u'.');
    if (dot == std::u16string_view::npos || dot < FileNameStart(path)) return std::u16string_view::npos;
    return dot;
}

}  // namespace

std::u16string NormalizePath(std::u16string_view input, bool dropTrailingSlash) {
    std::u16string path(input);
    if (path.empty()) return path;
    std::replace(path.begin(), path.end(), u'\\', u'/');
    if (HasDrive(path) && (path.size() == 2 || path[2] != u'/')) path.insert(2, 1, u'/');
    const bool isDriveRoot = path.size() == 3 && HasDrive(path);
    if (dropTrailingSlash && path.size() > 1 && !isDriveRoot && path.back() == u'/') path.pop_back();
    return path;
}

std::u16string ResolvePath(std::u16string_view input, std::u16string_view base) {
    std::u16string path = NormalizePath(input);
    if (!HasDrive(path) && (path.empty() || path[0] != u'/')) {
        path = std::u16string(base) + u"/" + path;
    } else if (path[0] == u'/' && !NetworkRootLength(path) && HasDrive(base)) {
        // A path from the root stays on the base's drive.
        path = std::u16string(base.substr(0, 2)) + path;
    }
    std::u16string root = u"/";
    if (HasDrive(path)) {
        root = path.substr(0, 3);
        path.erase(0, 3);
    } else if (const size_t network = NetworkRootLength(path)) {
        root = path.substr(0, network) + u"/";
        path.erase(0, network);
    }

    std::vector<std::u16string_view> parts;
    std::u16string_view rest = path;
    while (!rest.empty()) {
        const size_t slash = rest.find(u'/');
        const std::u16string_view part = rest.substr(0, slash);
        rest = slash == std::u16string_view::npos ? std::u16string_view() : rest.substr(slash + 1);
        if (part.empty() || part == u".") continue;
        if (part == u"..") {
            if (parts.empty()) return std::u16string(BAD_DIR);
            parts.pop_back();
        } else {
            parts.push_back(part);
        }
    }

    std::u16string absolute = root;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) absolute += u'/';
        absolute += parts[i];
    }
    return absolute;
}

std::u16string FileNamePart(std::u16string_view input) {
    const std::u16string path = NormalizePath(input);
    return path.substr(FileNameStart(path));
}

std::u16string WithoutExtension(std::u16string_view input) {
    const std::u16string path = NormalizePath(input);
    return path.substr(0, ExtensionDot(path));
}

std::u16string BaseName(std::u16string_view path) {
    return FileNamePart(WithoutExtension(path));
}

std::u16string DirectoryPart(std::u16string_view input) {
    const std::u16string path = NormalizePath(input);
    const size_t slash = path.rfind(u'/');
    if (slash == std::u16string::npos || slash + 1 == path.size()) return std::u16string(BAD_DIR);
    // The root keeps its slash: the directory of "/a" is "/", of "C:/a" is "C:/".
    const bool atRoot = slash == 0 || (slash == 2 && HasDrive(path));
    return path.substr(0, atRoot ? slash + 1 : slash);
}

std::u16string ExtensionPart(std::u16string_view input) {
    const std::u16string path = NormalizePath(input);
    const size_t dot = ExtensionDot(path);
    return dot == std::u16string::npos ? std::u16string() : path.substr(dot + 1);
}

}  // namespace qrv
