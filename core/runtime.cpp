#include "core/runtime.h"

#include "core/runtime_platform.h"

namespace qrv {
namespace {

struct RuntimeState {
    bool started = false;
    std::u16string programPath;
    std::u16string programFolder;
    std::u16string title;
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

}  // namespace qrv
