#include "game/settings.h"

#include "core/text_to_int.h"
#include "stream/file_system.h"

namespace zorvak {

TSettings ReadSettings(std::u16string_view url) {
    TSettings settings;
    // Only a regular file is read: opening a FIFO that has no writer would block start-up.
    const bool plainPath = url.find(u"::") == std::u16string_view::npos;
    if (plainPath && qrv::PathKind(url) != qrv::FILETYPE_FILE) return settings;
    auto stream = qrv::OpenFileForReading(url);
    if (!stream) return settings;
    stream->ReadTextLine();
    settings.introFlag = qrv::TextToInt(stream->ReadTextLine());
    stream->ReadTextLine();
    settings.difficulty = qrv::TextToInt(stream->ReadTextLine());
    stream->Close();
    return settings;
}

}  // namespace zorvak
