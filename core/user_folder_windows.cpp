#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>

#include "core/failure.h"
#include "core/path_text.h"
#include "core/runtime_platform.h"
#include "core/text.h"

namespace qrv {

std::u16string FindUserDataRoot() {
    PWSTR found = nullptr;
    const HRESULT result =
        SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, &found);
    std::u16string root;
    if (SUCCEEDED(result) && found) {
        const std::wstring_view path(found);
        root.assign(path.begin(), path.end());
    }
    CoTaskMemFree(found);
    if (root.empty()) {
        SetLastFailure(u"no folder for the user's data: "
                       u"Windows gives no roaming application-data folder");
        return {};
    }
    std::replace(root.begin(), root.end(), u'\\', u'/');
    while (root.size() > 3 && root.back() == u'/') root.pop_back();
    return root;
}

std::u16string NameInPath(std::u16string_view name) {
    return std::u16string(name);
}

std::filesystem::path NativeFolderPath(const std::u16string& path) { return PathFromText(path); }

}  // namespace qrv
