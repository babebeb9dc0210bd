#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>

#include "stream/directory.h"
#include "stream/directory_platform.h"
#include "stream/native_path.h"

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

Ref<TDirectoryListing> OpenLiteralListing(std::u16string_view path) {
    const auto native = NativePath(path);
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

bool IsLinkEntry(std::u16string_view path) {
    const auto native = NativePath(path);
    struct stat info {};
    return native && ::lstat(native->c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

bool RemoveLinkEntry(std::u16string_view path) {
    const auto native = NativePath(path);
    return native && ::unlink(native->c_str()) == 0;
}

bool MakeOneDirectory(std::u16string_view path) {
    const auto native = NativePath(path);
    return native && ::mkdir(native->c_str(), 0777) == 0;
}

bool RemoveOneDirectory(std::u16string_view path) {
    const auto native = NativePath(path);
    return native && ::rmdir(native->c_str()) == 0;
}

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

}  // namespace qrv
