#include "stream/ram_stream.h"

#include <algorithm>
#include <cstring>

#include "stream/embedded_files.h"
#include "stream/url_failure.h"

namespace qrv {

Ref<TRamStream> TRamStream::OverMemory(void* buffer, int32_t size, bool readable, bool writeable) {
    if (size < 0 || (size > 0 && !buffer)) return nullptr;
    return Ref<TRamStream>(new TRamStream(static_cast<uint8_t*>(buffer), size, readable, writeable));
}

Ref<TRamStream> TRamStream::OverMemory(const void* buffer, int32_t size) {
    // Safe: the stream is created without the writeable flag, so it never writes to the block.
    return OverMemory(const_cast<void*>(buffer), size, true, false);
}

TRamStream::TRamStream(uint8_t* buffer, int32_t size, bool readable, bool writeable)
    : size(size), buffer(buffer), readable(readable), writeable(writeable) {}

int32_t TRamStream::Seek(int32_t pos) {
    position = std::clamp(pos, 0, size);
    return position;
}

int32_t TRamStream::Read(void* out, int32_t count) {
    if (count <= 0 || !readable) return 0;
    count = std::min(count, size - position);
    if (count > 0) std::memcpy(out, buffer + position, static_cast<size_t>(count));
    position += count;
    return count;
}

int32_t TRamStream::Write(const void* in, int32_t count) {
    if (count <= 0 || !writeable) return 0;
    count = std::min(count, size - position);
    if (count > 0) std::memcpy(buffer + position, in, static_cast<size_t>(count));
    position += count;
    return count;
}

Ref<TRamStream> MemoryStreamOver(void* buffer, int32_t size, bool readable, bool writeable) {
    return TRamStream::OverMemory(buffer, size, readable, writeable);
}

Ref<TStream> TRamStreamFactory::TryOpen(const Ref<TObject>&, std::u16string_view protocol,
                                        std::u16string_view path, bool readable, bool writeable) {
    if (protocol != u"incbin") return nullptr;
    if (writeable) {
        NoteOpenFailure("embedded files cannot be written");
        return nullptr;
    }
    const TEmbeddedFile* file = FindEmbeddedFile(path);
    if (!file || !file->data) {
        NoteOpenFailure("no embedded file of that name");
        return nullptr;
    }
    return TRamStream::OverMemory(const_cast<uint8_t*>(file->data), file->size, readable, false);
}

}  // namespace qrv
