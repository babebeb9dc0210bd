#include "stream/directory.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>

#include "stream/file_system.h"
#include "stream/native_path.h"
#include "stream/path_names.h"

namespace qrv {

class TDirectoryListing : public TObject {
public:
    explicit TDirectoryListing(DIR* dir) : dir(dir) {}

    std::u16string Next() {
        if (!dir) return {};
        const dirent* entry = ::readdir(dir.get());
        return entry ? FromNativePath(entry->d_name) : std::u16string();
    }
    void Close() { dir.reset(); }

private:
    struct DirCloser {
        void operator()(DIR* d) const { ::closedir(d); }
    };
    std::unique_ptr<DIR, DirCloser> dir;
};

namespace {

bool IsDots(std::u16string_view name) {
    return name == u"." || name == u"..";
}

// The helpers below take paths as they are: the caller's path is normalised once, and names
// read from listings are joined to it unchanged.
bool IsSymbolicLink(std::u16string_view path) {
    const auto native = NativePath(path);
    struct stat info {};
    return native && ::lstat(native->c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

std::u16string Join(std::u16string_view folder, std::u16string_view name) {
    std::u16string joined(folder);
    if (!joined.empty() && joined.back() != u'/') joined += u'/';
    return joined + std::u16string(name);
}

bool MakeOneDirectory(std::u16string_view path) {
    const auto native = NativePath(path);
    return native && ::mkdir(native->c_str(), 0777) == 0;
}

Ref<TDirectoryListing> OpenLiteralListing(std::u16string_view path) {
    const auto native = NativePath(path);
    if (!native) return nullptr;
    DIR* dir = ::opendir(native->c_str());
    return dir ? std::make_shared<TDirectoryListing>(dir) : nullptr;
}

std::vector<std::u16string> ListLiteral(std::u16string_view path, bool skipDots) {
    std::vector<std::u16string> names;
    auto listing = OpenLiteralListing(path);
    if (!listing) return names;
    for (std::u16string name = listing->Next(); !name.empty(); name = listing->Next()) {
        if (!skipDots || !IsDots(name)) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Whether `inner` is `outer` or lies inside it, comparing the paths with every link resolved
// (`inner` need not exist yet), so a target reached through a link into the source counts.
bool IsInside(std::u16string_view inner, std::u16string_view outer) {
    const auto nativeInner = NativePath(inner);
    const auto nativeOuter = NativePath(outer);
    if (!nativeInner || !nativeOuter) return false;
    std::error_code error;
    const std::filesystem::path outerPath = std::filesystem::canonical(*nativeOuter, error);
    if (error) return false;
    const std::filesystem::path innerPath = std::filesystem::weakly_canonical(*nativeInner, error);
    if (error) return false;
    const auto differ = std::mismatch(outerPath.begin(), outerPath.end(), innerPath.begin(), innerPath.end());
    return differ.first == outerPath.end();
}

bool RemoveTree(const std::u16string& path, bool recursive) {
    if (recursive && !IsSymbolicLink(path)) {
        for (const std::u16string& name : ListLiteral(path, true)) {
            const std::u16string child = Join(path, name);
            if (!IsSymbolicLink(child) && LiteralPathKind(child) == FILETYPE_DIR) {
                RemoveTree(child, true);
            } else {
                RemoveLiteralFile(child);
            }
        }
    }
    const auto native = NativePath(path);
    return native && ::rmdir(native->c_str()) == 0;
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
            if (!IsSymbolicLink(source)) copied = CopyTree(source, target) && copied;
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

std::u16string NextListingEntry(TDirectoryListing& listing) {
    return listing.Next();
}

void CloseListing(TDirectoryListing& listing) {
    listing.Close();
}

std::vector<std::u16string> ListDirectory(std::u16string_view path, bool skipDots) {
    return ListLiteral(NormalizePath(path, true), skipDots);
}

}  // namespace qrv
