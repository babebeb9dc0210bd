#include "stream/native_path_windows.h"

#include <windows.h>

#include "stream/native_path.h"

namespace qrv {
namespace {

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
constexpr std::wstring_view kLongUncPrefix = L"\\\\?\\UNC\\";
constexpr std::wstring_view kDevicePrefix = L"\\\\.\\";

bool IsSeparator(char16_t c) {
    return c == u'/' || c == u'\\';
}

std::u16string UpperAscii(std::u16string_view text) {
    std::u16string upper(text);
    for (char16_t& c : upper) {
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    }
    return upper;
}

// Whether the system takes the component for a device, which it finds in every folder. It looks
// at the part before any extension or stream name, trailing spaces ignored.
bool IsDeviceName(std::u16string_view name) {
    name = name.substr(0, name.find_first_of(u".:"));
    while (!name.empty() && name.back() == u' ') name.remove_suffix(1);
    const std::u16string upper = UpperAscii(name);
    if (upper == u"CON" || upper == u"PRN" || upper == u"AUX" || upper == u"NUL" ||
        upper == u"CONIN$" || upper == u"CONOUT$") {
        return true;
    }
    if (upper.size() != 4 || !(upper.starts_with(u"COM") || upper.starts_with(u"LPT"))) return false;
    const char16_t digit = upper[3];
    return (digit >= u'1' && digit <= u'9') || digit == u'\u00B9' || digit == u'\u00B2' || digit == u'\u00B3';
}

// A name ending in a dot or space would lose that ending on the way and reach another file.
bool IsRefusedComponent(std::u16string_view name) {
    if (name.empty() || name == u"." || name == u"..") return false;
    if (name.back() == u'.' || name.back() == u' ') return true;
    return IsDeviceName(name);
}

bool IsDevicePath(std::u16string_view path) {
    return path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1]) && path[2] == u'.' &&
           IsSeparator(path[3]);
}

bool CanNameAFile(std::u16string_view path) {
    if (path.empty() || path.find(u'\0') != std::u16string_view::npos || IsDevicePath(path)) return false;
    for (size_t start = 0; start <= path.size();) {
        size_t end = start;
        while (end < path.size() && !IsSeparator(path[end])) ++end;
        if (IsRefusedComponent(path.substr(start, end - start))) return false;
        start = end + 1;
    }
    return true;
}

std::wstring Wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

std::optional<std::wstring> LongPathForm(const std::wstring& full) {
    if (full.starts_with(kDevicePrefix)) return std::nullopt;
    if (full.starts_with(kLongPrefix)) return full;
    if (full.starts_with(L"\\\\")) return std::wstring(kLongUncPrefix) + full.substr(2);
    return std::wstring(kLongPrefix) + full;
}

}  // namespace

std::optional<std::wstring> FullNativePath(std::u16string_view path) {
    if (!CanNameAFile(path)) return std::nullopt;
    const std::wstring wide = Wide(path);
    return WideTextOfCall([&](wchar_t* buffer, uint32_t size) {
        return GetFullPathNameW(wide.c_str(), size, buffer, nullptr);
    });
}

std::optional<std::wstring> WideTextOfCall(const std::function<uint32_t(wchar_t*, uint32_t)>& call) {
    std::wstring text(MAX_PATH, L'\0');
    for (;;) {
        const uint32_t length = call(text.data(), static_cast<uint32_t>(text.size()));
        if (length == 0) return std::nullopt;
        if (length < text.size()) {
            text.resize(length);
            return text;
        }
        text.resize(length);
    }
}

std::optional<std::wstring> NativePath(std::u16string_view path) {
    auto full = FullNativePath(path);
    if (!full) return std::nullopt;
    return LongPathForm(*full);
}

std::u16string FromNativePath(std::wstring_view path) {
    std::wstring_view rest = path;
    std::u16string text;
    if (rest.starts_with(kLongUncPrefix)) {
        rest.remove_prefix(kLongUncPrefix.size());
        text = u"\\\\";
    } else if (rest.starts_with(kLongPrefix)) {
        rest.remove_prefix(kLongPrefix.size());
    }
    text.append(rest.begin(), rest.end());
    return text;
}

}  // namespace qrv
