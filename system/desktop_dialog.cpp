#include "system/desktop_dialog.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "core/path_text.h"
#include "core/text.h"
#include "system/file_filter.h"

extern char** environ;

namespace qrv {
namespace {

// The filter groups with the preselected one (1-based, 0 none) moved to the front.
std::vector<TFileFilterGroup> OrderedFilterGroups(const TFileRequest& request) {
    std::vector<TFileFilterGroup> groups = SplitFileFilter(BuildFileFilter(request.extensions));
    const int32_t index = FileFilterIndex(request.initialPath, request.extensions);
    if (index > 1 && static_cast<size_t>(index) <= groups.size())
        std::rotate(groups.begin(), groups.begin() + (index - 1), groups.begin() + index);
    return groups;
}

std::string JoinedPatterns(const TFileFilterGroup& group) {
    std::string joined;
    for (const auto& pattern : group.patterns) {
        if (!joined.empty()) joined += ' ';
        joined += ToUtf8(pattern);
    }
    return joined;
}

std::string AbsoluteFolder(const std::u16string& path) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(PathFromText(path), error).lexically_normal();
    return ToUtf8(error ? path : TextFromPath(absolute));
}

bool IsExecutable(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) && access(path.c_str(), X_OK) == 0;
}

class TFileDescriptor {
public:
    explicit TFileDescriptor(int fd = -1) : fd(fd) {}
    ~TFileDescriptor() { Close(); }
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;
    int Get() const { return fd; }
    void Close() {
        if (fd >= 0) close(fd);
        fd = -1;
    }

private:
    int fd;
};

// Runs the command and gives what it printed without the final newline, or nothing when it
// cannot run or ends with a non-zero status (a cancelled dialog).
std::optional<std::string> RunDialogCommand(const std::vector<std::string>& command) {
    if (command.empty()) return std::nullopt;
    int fds[2];
    if (pipe(fds) != 0) return std::nullopt;
    TFileDescriptor readEnd(fds[0]), writeEnd(fds[1]);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, readEnd.Get());
    posix_spawn_file_actions_adddup2(&actions, writeEnd.Get(), STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, writeEnd.Get());
    std::vector<char*> argv;
    for (const auto& argument : command) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    writeEnd.Close();
    if (spawned != 0) return std::nullopt;

    std::string output;
    char buffer[4096];
    for (ssize_t n; (n = read(readEnd.Get(), buffer, sizeof buffer)) != 0;) {
        if (n > 0) output.append(buffer, static_cast<size_t>(n));
        else if (errno != EINTR) break;
    }
    int status = 0;
    pid_t waited;
    while ((waited = waitpid(child, &status, 0)) < 0 && errno == EINTR) {}
    if (waited != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
    return output;
}

}  // namespace

std::vector<std::string> FileRequesterCommand(const std::string& tool, const TFileRequest& request) {
    const std::string title = ToUtf8(request.title);
    const std::string initial = ToUtf8(request.initialPath);
    const std::vector<TFileFilterGroup> groups = OrderedFilterGroups(request);
    if (tool == "kdialog") {
        std::vector<std::string> command = {
            tool, "--title", title, request.save ? "--getsavefilename" : "--getopenfilename",
            initial.empty() ? "." : initial};
        std::string filter;
        for (const auto& group : groups) {
            if (!filter.empty()) filter += '\n';
            filter += ToUtf8(group.description) + " (" + JoinedPatterns(group) + ")";
        }
        if (!filter.empty()) command.push_back(filter);
        return command;
    }
    std::vector<std::string> command = {tool, "--file-selection", "--title=" + title};
    if (request.save) {
        command.push_back("--save");
        command.push_back("--confirm-overwrite");
    }
    if (!initial.empty()) command.push_back("--filename=" + initial);
    for (const auto& group : groups)
        command.push_back("--file-filter=" + ToUtf8(group.description) + " | " + JoinedPatterns(group));
    return command;
}

std::vector<std::string> FolderRequesterCommand(const std::string& tool, const std::u16string& title,
                                                const std::u16string& initialPath) {
    const std::string folder = AbsoluteFolder(initialPath);
    if (tool == "kdialog")
        return {tool, "--title", ToUtf8(title), "--getexistingdirectory", folder};
    return {tool, "--file-selection", "--directory", "--title=" + ToUtf8(title),
            "--filename=" + folder + "/"};
}

std::optional<std::string> FindDialogTool() {
    const char* path = std::getenv("PATH");
    if (!path) return std::nullopt;
    for (const char* tool : {"zenity", "kdialog"}) {
        std::string_view rest(path);
        while (true) {
            const size_t colon = rest.find(':');
            const std::string_view folder = rest.substr(0, colon);
            if (!folder.empty() && IsExecutable(std::filesystem::path(folder) / tool)) return tool;
            if (colon == std::string_view::npos) break;
            rest.remove_prefix(colon + 1);
        }
    }
    return std::nullopt;
}

std::u16string RunFileRequester(const TFileRequest& request) {
    const std::optional<std::string> tool = FindDialogTool();
    if (!tool) return {};
    return FromUtf8(RunDialogCommand(FileRequesterCommand(*tool, request)).value_or(""));
}

std::u16string RunFolderRequester(const std::u16string& title, const std::u16string& initialPath) {
    const std::optional<std::string> tool = FindDialogTool();
    if (!tool) return {};
    return FromUtf8(RunDialogCommand(FolderRequesterCommand(*tool, title, initialPath)).value_or(""));
}

}  // namespace qrv
