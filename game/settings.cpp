#include "game/settings.h"

#include "core/text_to_int.h"
#include "stream/file_system.h"

namespace zorvak {

int32_t introFlag = 0;
int32_t difficulty = 0;

void ReadSettings(std::u16string_view url) {
    introFlag = 0;
    difficulty = 0;
    auto stream = qrv::OpenFileForReading(url);
    if (!stream) return;
    stream->ReadTextLine();
    introFlag = qrv::TextToInt(stream->ReadTextLine());
    stream->ReadTextLine();
    difficulty = qrv::TextToInt(stream->ReadTextLine());
    stream->Close();
}

}  // namespace zorvak
