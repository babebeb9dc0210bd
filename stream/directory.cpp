#include "stream/directory.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

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

bool IsSymbolicLink(std::u16string_view path) {
    const auto native = NativePath(NormalizePath(path, true));
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

bool IsInside(std::u16string_view inner, std::u16string_view outer) {
    const std::u16string innerPath = AbsolutePath(inner);
    const std::u16string outerPath = AbsolutePath(outer);
    if (innerPath == BAD_DIR || outerPath == BAD_DIR) return false;
    if (innerPath == outerPath) return true;
    return innerPath.starts_with(outerPath) && innerPath.size() > outerPath.size() &&
           (outerPath.back() == u'/' || innerPath[outerPath.size()] == u'/');
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
            if (parent.size() == 2 && parent[1] == u':') continue;
            if (PathKind(parent) != FILETYPE_DIR) MakeOneDirectory(parent);
        }
    }
    if (PathKind(path) != FILETYPE_DIR) MakeOneDirectory(path);
    return PathKind(path) == FILETYPE_DIR;
}

bool RemoveDirectory(std::u16string_view input, bool recursive) {
    const std::u16string path = NormalizePath(input, true);
    if (recursive && !IsSymbolicLink(path)) {
        for (const std::u16string& name : ListDirectory(path)) {
            const std::u16string child = Join(path, name);
            if (!IsSymbolicLink(child) && PathKind(child) == FILETYPE_DIR) {
                RemoveDirectory(child, true);
            } else {
                RemoveFile(child);
            }
        }
    }
    const auto native = NativePath(path);
    return native && ::rmdir(native->c_str()) == 0;
}

bool DuplicateDirectory(std::u16string_view fromInput, std::u16string_view toInput) {
    const std::u16string from = NormalizePath(fromInput, true);
    const std::u16string to = NormalizePath(toInput, true);
    if (PathKind(from) != FILETYPE_DIR || IsInside(to, from)) return false;
    if (!MakeDirectory(to)) return false;
    bool copied = true;
    for (const std::u16string& name : ListDirectory(from)) {
        const std::u16string source = Join(from, name);
        const std::u16string target = Join(to, name);
        const int kind = PathKind(source);
        if (kind == FILETYPE_DIR) {
            if (!IsSymbolicLink(source)) copied = DuplicateDirectory(source, target) && copied;
        } else if (kind == FILETYPE_FILE) {
            copied = DuplicateFile(source, target) && copied;
        }
    }
    return copied;
}

Ref<TDirectoryListing> OpenListing(std::u16string_view path) {
    const auto native = NativePath(NormalizePath(path, true));
    if (!native) return nullptr;
    DIR* dir = ::opendir(native->c_str());
    return dir ? std::make_shared<TDirectoryListing>(dir) : nullptr;
}

std::u16string NextListingEntry(TDirectoryListing& listing) {
    return listing.Next();
}

void CloseListing(TDirectoryListing& listing) {
    listing.Close();
}

std::vector<std::u16string> ListDirectory(std::u16string_view path, bool skipDots) {
    std::vector<std::u16string> names;
    auto listing = OpenListing(path);
    if (!listing) return names;
    for (std::u16string name = listing->Next(); !name.empty(); name = listing->Next()) {
        if (!skipDots || !IsDots(name)) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace qrv
