#include "core/runtime.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "core/failure.h"
#include "core/runtime_platform.h"
#include "core/text.h"

namespace qrv {
namespace {

struct RuntimeState {
    bool started = false;
    std::u16string programPath;
    std::u16string programFolder;
    std::u16string title;
    std::u16string name;
};

RuntimeState& State() {
    static RuntimeState state;
    return state;
}

// The folder part of a path; a root keeps its slash ("/" for "/x", "C:/" for "C:/x.exe").
std::u16string FolderOf(const std::u16string& path) {
    const size_t slash = path.rfind(u'/');
    if (slash == std::u16string::npos) return {};
    const bool atRoot = slash == 0 || (slash == 2 && path[1] == u':');
    return path.substr(0, atRoot ? slash + 1 : slash);
}

// The file name without its extension; a name that starts with its only dot keeps it.
std::u16string StemOf(const std::u16string& path) {
    const size_t slash = path.rfind(u'/');
    std::u16string name = slash == std::u16string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind(u'.');
    if (dot != std::u16string::npos && dot > 0) name.resize(dot);
    return name;
}

char16_t AsciiUpper(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
}

// Whether the name before its first dot is one Windows keeps for a device in every folder.
bool IsDeviceName(std::u16string_view name) {
    name = name.substr(0, name.find(u'.'));
    std::u16string upper(name);
    std::transform(upper.begin(), upper.end(), upper.begin(), AsciiUpper);
    static constexpr std::array<std::u16string_view, 4> kDevices = {u"CON", u"PRN", u"AUX", u"NUL"};
    if (std::find(kDevices.begin(), kDevices.end(), upper) != kDevices.end()) return true;
    return upper.size() == 4 && (upper.starts_with(u"COM") || upper.starts_with(u"LPT")) &&
           upper[3] >= u'1' && upper[3] <= u'9';
}

// The name made fit to name a folder on every platform: no character a file name may not hold,
// no trailing dot or space (Windows drops them), no device name; empty when nothing is left.
std::u16string FolderNameFrom(std::u16string_view name) {
    std::u16string folder(name);
    constexpr std::u16string_view kForbidden = u"<>:\"/\\|?*";
    for (char16_t& c : folder) {
        if (c < 0x20 || kForbidden.find(c) != std::u16string_view::npos) c = u'_';
    }
    while (!folder.empty() && (folder.back() == u'.' || folder.back() == u' ')) folder.pop_back();
    // "con.save" is the device too: the mark goes before the dot.
    if (IsDeviceName(folder)) {
        const size_t dot = std::min(folder.find(u'.'), folder.size());
        folder = folder.substr(0, dot) + u'_' + folder.substr(dot);
    }
    return folder;
}

// Creates the folder and the folders above it that are missing; false, with the reason in
// LastFailure, when it is not a folder afterwards.
bool MakeFolders(const std::u16string& path) {
    const std::filesystem::path native = NativeFolderPath(path);
    std::error_code error;
    std::filesystem::create_directories(native, error);
    if (!error && std::filesystem::is_directory(native, error)) return true;
    SetLastFailure(u"\"" + path + u"\": cannot create the folder: " +
                   (error ? FromUtf8(error.message()) : u"a file of that name is in the way"));
    return false;
}

}  // namespace

void StartRuntime() {
    RuntimeState& state = State();
    if (state.started) return;
    state.started = true;

    const std::u16string exe = FindProgramPath();
    if (!exe.empty()) {
        state.programPath = exe;
        state.programFolder = FolderOf(exe);
        if (!EnterFolder(state.programFolder)) {
            // The folder may have been removed since the program started; stay where we are.
        }
    }
    state.title = StemOf(exe);
}

const std::u16string& ProgramPath() {
    return State().programPath;
}

const std::u16string& ProgramFolder() {
    return State().programFolder;
}

const std::u16string& ApplicationTitle() {
    return State().title;
}

void SetApplicationTitle(std::u16string title) {
    State().title = std::move(title);
}

std::u16string ApplicationName() {
    const RuntimeState& state = State();
    if (!state.name.empty()) return state.name;
    return StemOf(state.started ? state.programPath : FindProgramPath());
}

void SetApplicationName(std::u16string name) {
    State().name = std::move(name);
}

std::u16string UserDataFolder() {
    const std::u16string name = FolderNameFrom(ApplicationName());
    if (name.empty()) {
        SetLastFailure(u"no name for the application's data folder: SetApplicationName gives one");
        return {};
    }
    const std::u16string root = FindUserDataRoot();
    if (root.empty()) return {};
    std::u16string folder = root + (root.ends_with(u'/') ? u"" : u"/") + NameInPath(name);
    if (!MakeFolders(folder)) return {};
    return folder;
}

}  // namespace qrv
