#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qrv {

// File and folder requesters: on Windows the system's own dialogs, in a browser none, elsewhere
// those of a desktop dialog tool (zenity, else kdialog) found on PATH. Without a dialog, or when
// the user cancels, the result is empty text.

// What a file requester asks for.
struct TFileRequest {
    // The requester's title.
    std::u16string title;
    std::u16string extensions;  // see file_filter.h
    // Whether it asks where to save (else what to open), and the path it starts at.
    bool save = false;
    std::u16string initialPath;
};

// FileRequesterCommand and FolderRequesterCommand: the command line (program first) that asks for
// a file or a folder with the given tool ("zenity" or "kdialog"); the preselected filter group
// comes first, as both tools start on the first.
std::vector<std::string> FileRequesterCommand(const std::string& tool, const TFileRequest& request);
std::vector<std::string> FolderRequesterCommand(const std::string& tool, const std::u16string& title,
                                                const std::u16string& initialPath);

// The first dialog tool found on PATH, or nothing; always nothing on Windows, which has dialogs
// of its own, and in a browser.
std::optional<std::string> FindDialogTool();

// The folder as an absolute path without "." and ".." parts (UTF-8); as given when the working
// folder cannot be had. The folder requesters start in it.
std::string AbsoluteFolder(const std::u16string& path);

// RunFileRequester and RunFolderRequester: show the requester and wait; the path chosen, or empty
// text when it is cancelled or there is no dialog to show.
std::u16string RunFileRequester(const TFileRequest& request);
std::u16string RunFolderRequester(const std::u16string& title, const std::u16string& initialPath);

}  // namespace qrv
