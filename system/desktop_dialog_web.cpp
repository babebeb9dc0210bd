#include "system/desktop_dialog.h"

namespace qrv {

// A page can neither show a desktop dialog nor start a tool that would: every requester gives
// the empty text of a cancelled one.

std::optional<std::string> FindDialogTool() {
    return std::nullopt;
}

std::u16string RunFileRequester(const TFileRequest&) {
    return {};
}

std::u16string RunFolderRequester(const std::u16string&, const std::u16string&) {
    return {};
}

}  // namespace qrv
