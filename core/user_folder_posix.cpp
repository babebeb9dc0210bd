// The user's data folder on POSIX systems, and on the web, where Emscripten's environment gives
// HOME as "/home/web_user" in the page's in-memory file system.
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/failure.h"
#include "core/runtime_platform.h"
#include "core/text.h"

namespace qrv {
namespace {

// The variable's value when it is an absolute path, without trailing "/" (a root keeps it).
std::string AbsoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    if (!value || value[0] != '/') return {};
    std::string path = value;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// HOME, else the home folder the password database gives the user.
std::string HomeFolder() {
    std::string home = AbsoluteVariable("HOME");
#ifndef __EMSCRIPTEN__
    if (home.empty()) {
        const passwd* entry = ::getpwuid(::getuid());
        if (entry && entry->pw_dir && entry->pw_dir[0] == '/') home = entry->pw_dir;
        while (home.size() > 1 && home.back() == '/') home.pop_back();
    }
#endif
    return home;
}

}  // namespace

std::u16string FindUserDataRoot() {
    std::string root = AbsoluteVariable("XDG_DATA_HOME");
    if (root.empty()) {
        const std::string home = HomeFolder();
        if (home.empty()) {
            SetLastFailure(u"no folder for the user's data: "
                           u"XDG_DATA_HOME and HOME are not set to absolute paths");
            return {};
        }
        root = (home == "/" ? "" : home) + "/.local/share";
    }
    return FromLatin1(root);
}

std::u16string NameInPath(std::u16string_view name) {
    return FromLatin1(ToUtf8(name));
}

std::filesystem::path NativeFolderPath(const std::u16string& path) { return ToLatin1(path); }

}  // namespace qrv
