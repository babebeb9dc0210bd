#include "core/runtime.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "core/text.h"

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

std::filesystem::path ExecutablePath() {
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : path;
}

}  // namespace

void StartRuntime() {
    RuntimeState& state = State();
    if (state.started) return;
    state.started = true;

    const std::filesystem::path exe = ExecutablePath();
    if (!exe.empty()) {
        const std::filesystem::path folder = exe.parent_path();
        state.programPath = FromLatin1(exe.native());
        state.programFolder = FromLatin1(folder.native());
        if (chdir(folder.c_str()) != 0) {
            // The folder may have been removed since the program started; stay where we are.
        }
    }
    state.title = FromLatin1(exe.stem().native());
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
