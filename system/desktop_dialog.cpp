#include "system/desktop_dialog.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/path_text.h"
#include "core/text.h"
#include "system/file_filter.h"

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

}  // namespace

std::string AbsoluteFolder(const std::u16string& path) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(PathFromText(path), error).lexically_normal();
    return ToUtf8(error ? path : TextFromPath(absolute));
}

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
}  // namespace qrv
