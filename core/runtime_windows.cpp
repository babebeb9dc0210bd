#include <windows.h>

#include <algorithm>
#include <string_view>

#include "core/runtime_platform.h"

namespace qrv {
namespace {

// The module's file name, in a buffer grown until the whole name fits: a long path does not.
std::wstring ModuleFileName() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) return {};
        if (length < name.size()) {
            name.resize(length);
            return name;
        }
        name.resize(name.size() * 2);
    }
}

// Without the long-path prefix a program started through one carries.
std::u16string WithoutLongPrefix(std::wstring_view path) {
    std::u16string text;
    if (path.starts_with(L"\\\\?\\UNC\\")) {
        path.remove_prefix(8);
        text = u"\\\\";
    } else if (path.starts_with(L"\\\\?\\")) {
        path.remove_prefix(4);
    }
    text.append(path.begin(), path.end());
    return text;
}

}  // namespace

std::u16string FindProgramPath() {
    std::u16string path = WithoutLongPrefix(ModuleFileName());
    std::replace(path.begin(), path.end(), u'\\', u'/');
    return path;
}

bool EnterFolder(const std::u16string& folder) {
    const std::wstring wide(folder.begin(), folder.end());
    return SetCurrentDirectoryW(wide.c_str()) != 0;
}

}  // namespace qrv
