#include "game/settings.h"

#include "core/text_to_int.h"
#include "stream/file_system.h"

namespace zorvak {

int32_t introFlag = 0;
int32_t difficulty = 0;

void ReadSettings(std::u16string_view url) {
    introFlag = 0;
    difficulty = 0;
    // Only a regular file is read: opening a FIFO that has no writer would block start-up.
    const bool plainPath = url.find(u"::") == std::u16string_view::npos;
    if (plainPath && qrv::PathKind(url) != qrv::FILETYPE_FILE) return;
    auto stream = qrv::OpenFileForReading(url);
    if (!stream) return;
    stream->ReadTextLine();
    introFlag = qrv::TextToInt(stream->ReadTextLine());
    stream->ReadTextLine();
    difficulty = qrv::TextToInt(stream->ReadTextLine());
    stream->Close();
}

}  // namespace zorvak
