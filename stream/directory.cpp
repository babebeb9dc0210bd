#include "stream/directory.h"

#include <algorithm>

#include "stream/directory_platform.h"
#include "stream/file_system.h"
#include "stream/path_names.h"

namespace qrv {
namespace {

bool IsDots(std::u16string_view name) {
    return name == u"." || name == u"..";
}

std::u16string Join(std::u16string_view folder, std::u16string_view name) {
    std::u16string joined(folder);
    if (!joined.empty() && joined.back() != u'/') joined += u'/';
    return joined + std::u16string(name);
}

std::vector<std::u16string> ListLiteral(std::u16string_view path, bool skipDots) {
    std::vector<std::u16string> names;
    auto listing = OpenLiteralListing(path);
    if (!listing) return names;
    for (std::u16string name = NextListingEntry(*listing); !name.empty(); name = NextListingEntry(*listing)) {
        if (!skipDots || !IsDots(name)) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool RemoveTree(const std::u16string& path, bool recursive) {
    if (recursive && !IsLinkEntry(path)) {
        for (const std::u16string& name : ListLiteral(path, true)) {
            const std::u16string child = Join(path, name);
            if (IsLinkEntry(child)) {
                RemoveLinkEntry(child);
            } else if (LiteralPathKind(child) == FILETYPE_DIR) {
                RemoveTree(child, true);
            } else {
                RemoveLiteralFile(child);
            }
        }
    }
    return RemoveOneDirectory(path);
}

bool CopyTree(const std::u16string& from, const std::u16string& to) {
    if (LiteralPathKind(from) != FILETYPE_DIR || IsInside(to, from)) return false;
    // Listed before the target is made, so a target inside the source is never copied.
    const std::vector<std::u16string> names = ListLiteral(from, true);
    if (LiteralPathKind(to) != FILETYPE_DIR && !MakeOneDirectory(to)) return false;
    bool copied = true;
    for (const std::u16string& name : names) {
        const std::u16string source = Join(from, name);
        const std::u16string target = Join(to, name);
        const int kind = LiteralPathKind(source);
        if (kind == FILETYPE_DIR) {
            if (!IsLinkEntry(source)) copied = CopyTree(source, target) && copied;
        } else if (kind == FILETYPE_FILE) {
            copied = DuplicateLiteralFile(source, target) && copied;
        }
    }
    return copied;
}

}  // namespace

bool MakeDirectory(std::u16string_view input, bool recursive) {
    const std::u16string path = NormalizePath(input, true);
    if (path.empty()) return false;
    if (recursive) {
        // Every parent in turn, skipping the root and a drive's root.
        for (size_t slash = path.find(u'/', 1); slash != std::u16string::npos;
             slash = path.find(u'/', slash + 1)) {
            const std::u16string parent = path.substr(0, slash);
            if (PATHS_HAVE_DRIVES && parent.size() == 2 && parent[1] == u':') continue;
            if (PathKind(parent) != FILETYPE_DIR) MakeOneDirectory(parent);
        }
    }
    if (PathKind(path) != FILETYPE_DIR) MakeOneDirectory(path);
    return PathKind(path) == FILETYPE_DIR;
}

bool RemoveDirectory(std::u16string_view input, bool recursive) {
    return RemoveTree(NormalizePath(input, true), recursive);
}

bool DuplicateDirectory(std::u16string_view from, std::u16string_view to) {
    return CopyTree(NormalizePath(from, true), NormalizePath(to, true));
}

Ref<TDirectoryListing> OpenListing(std::u16string_view path) {
    return OpenLiteralListing(NormalizePath(path, true));
}

std::vector<std::u16string> ListDirectory(std::u16string_view path, bool skipDots) {
    return ListLiteral(NormalizePath(path, true), skipDots);
}

}  // namespace qrv
