#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <type_traits>

#include "stream/directory.h"
#include "stream/directory_platform.h"
#include "stream/file_system.h"
#include "stream/native_path.h"
#include "stream/native_path_windows.h"

namespace qrv {

// FindFirstFileW gives the first entry as it opens the search; it is kept until asked for.
class TDirectoryListing : public TObject {
public:
    TDirectoryListing(HANDLE search, const WIN32_FIND_DATAW& first)
        : search(search), pending(FromNativePath(first.cFileName)) {}
    TDirectoryListing() = default;

    std::u16string Next() {
        if (!search) return {};
        std::u16string name = std::move(pending);
        pending.clear();
        if (name.empty()) {
            WIN32_FIND_DATAW data;
            if (!FindNextFileW(search.get(), &data)) return {};
            name = FromNativePath(data.cFileName);
        }
        return name;
    }
    void Close() { search.reset(); }

private:
    struct SearchCloser {
        void operator()(HANDLE handle) const { FindClose(handle); }
    };
    std::unique_ptr<std::remove_pointer_t<HANDLE>, SearchCloser> search;
    std::u16string pending;
};

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

DWORD AttributesOf(std::u16string_view path) {
    const auto native = NativePath(path);
    return native ? GetFileAttributesW(native->c_str()) : INVALID_FILE_ATTRIBUTES;
}

// The path the system resolves an existing file or folder to, links followed.
std::optional<std::wstring> FinalPath(const std::wstring& native) {
    constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const HANDLE opened = CreateFileW(native.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return std::nullopt;
    const UniqueHandle handle(opened);
    return WideTextOfCall([&](wchar_t* buffer, uint32_t size) {
        return GetFinalPathNameByHandleW(handle.get(), buffer, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    });
}

// The final path of the longest existing part of the path, followed by the rest as written.
std::optional<std::wstring> ResolvedPath(std::u16string_view path) {
    const auto native = NativePath(path);
    if (!native) return std::nullopt;
    std::wstring existing = *native;
    std::wstring rest;
    for (;;) {
        if (auto final = FinalPath(existing)) {
            if (rest.empty()) return final;
            if (final->back() != L'\\') *final += L'\\';
            return *final + rest;
        }
        // The separator stays with the part, so a drive's root is tried as "\\?\C:\".
        const size_t slash = existing.find_last_of(L'\\', existing.size() - 2);
        if (slash == std::wstring::npos || slash < 4) return std::nullopt;
        const std::wstring name = existing.substr(slash + 1);
        rest = rest.empty() ? name : name + (name.ends_with(L'\\') ? L"" : L"\\") + rest;
        existing.resize(slash + 1);
    }
}

}  // namespace

Ref<TDirectoryListing> OpenLiteralListing(std::u16string_view path) {
    auto native = NativePath(path);
    if (!native) return nullptr;
    if (native->back() != L'\\') *native += L'\\';
    *native += L'*';
    WIN32_FIND_DATAW first;
    const HANDLE search = FindFirstFileW(native->c_str(), &first);
    if (search != INVALID_HANDLE_VALUE) return std::make_shared<TDirectoryListing>(search, first);
    // A drive's empty root has no entries at all, not even "." and "..".
    if (LiteralPathKind(path) == FILETYPE_DIR) return std::make_shared<TDirectoryListing>();
    return nullptr;
}

std::u16string NextListingEntry(TDirectoryListing& listing) {
    return listing.Next();
}

void CloseListing(TDirectoryListing& listing) {
    listing.Close();
}

bool IsLinkEntry(std::u16string_view path) {
    const DWORD attributes = AttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// A link to a folder (a junction too) is removed as a folder; that leaves its target alone.
bool RemoveLinkEntry(std::u16string_view path) {
    const DWORD attributes = AttributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return RemoveLiteralFile(path);
    return RemoveOneDirectory(path);
}

bool MakeOneDirectory(std::u16string_view path) {
    const auto native = NativePath(path);
    return native && CreateDirectoryW(native->c_str(), nullptr);
}

bool RemoveOneDirectory(std::u16string_view path) {
    const auto native = NativePath(path);
    return native && ::RemoveDirectoryW(native->c_str());
}

bool IsInside(std::u16string_view inner, std::u16string_view outer) {
    const auto nativeOuter = NativePath(outer);
    if (!nativeOuter) return false;
    const auto outerPath = FinalPath(*nativeOuter);
    const auto innerPath = ResolvedPath(inner);
    if (!outerPath || !innerPath || !innerPath->starts_with(*outerPath)) return false;
    const size_t end = outerPath->size();
    return innerPath->size() == end || outerPath->back() == L'\\' || (*innerPath)[end] == L'\\';
}

}  // namespace qrv
