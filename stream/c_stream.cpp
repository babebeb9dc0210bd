#include "stream/c_stream.h"

#include <algorithm>
#include <cerrno>
#include <limits>

#include "stream/c_stream_platform.h"
#include "stream/stream_exceptions.h"
#include "stream/url_failure.h"

namespace qrv {
namespace {

constexpr int32_t kMaxStreamSize = std::numeric_limits<int32_t>::max();

// ftell as a stream position: -1 when the file cannot tell, clamped to the largest stream.
int32_t TellPosition(std::FILE* file) {
    const int64_t pos = TellFile(file);
    if (pos < 0) return -1;
    return static_cast<int32_t>(std::min<int64_t>(pos, kMaxStreamSize));
}

}  // namespace

Ref<TCStream> TCStream::OpenCFile(std::u16string_view path, bool readable, bool writeable) {
    std::u16string slashed(path);
    std::replace(slashed.begin(), slashed.end(), u'\\', u'/');

    int mode = MODE_READ;
    const char* fopenMode = "rb";
    if (readable && writeable) {
        mode = MODE_READ_WRITE;
        fopenMode = "r+b";
    } else if (writeable) {
        mode = MODE_WRITE;
        fopenMode = "wb";
    }
    errno = 0;
    std::FILE* file = OpenNativeFile(slashed, fopenMode);
    if (!file) NoteOpenFailure(FileErrorCause(errno));
    // The C library may open a directory for reading; it then looks like a file of vast size
    // (ext4 reports 2^63 - 1 bytes) that gives none of its bytes, so readers would take it for data.
    if (file && IsDirectoryFile(file)) {
        std::fclose(file);
        NoteOpenFailure(FileErrorCause(EISDIR));
        return nullptr;
    }
    return FromCFile(file, mode);
}

Ref<TCStream> TCStream::FromCFile(std::FILE* file, int mode) {
    if (!file) return nullptr;
    return Ref<TCStream>(new TCStream(file, mode));
}

TCStream::TCStream(std::FILE* file, int mode) : file(file), mode(mode) {
    position = TellPosition(file);
    if (position < 0) {
        size = 0;
        return;
    }
    SeekFile(file, 0, SEEK_END);
    size = TellPosition(file);
    SeekFile(file, position, SEEK_SET);
}

bool TCStream::AtEnd() {
    if (position >= 0) return position == size;
    if (!file || !(mode & MODE_READ)) return false;
    return reachedFileEnd || PeekEnd();
}

bool TCStream::PeekEnd() {
    SwitchAccess(LastAccess::Read);
    std::FILE* f = file.get();
    const int byte = std::getc(f);
    if (byte != EOF) {
        std::ungetc(byte, f);
        return false;
    }
    // A read error is no end: the next Read gives 0 and the reader reports it.
    reachedFileEnd = std::feof(f) != 0;
    std::clearerr(f);
    return reachedFileEnd;
}

int32_t TCStream::Seek(int32_t pos) {
    if (!file) return -1;
    // fseek writes out what is buffered; a failure there is a lost write like any other.
    if (lastAccess == LastAccess::Write && std::fflush(file.get()) != 0) writeFailed = true;
    SeekFile(file.get(), pos, SEEK_SET);
    lastAccess = LastAccess::None;
    position = TellPosition(file.get());
    return position;
}

void TCStream::Flush() {
    if (!file) return;
    if (mode & MODE_WRITE) {
        if (std::fflush(file.get()) != 0) writeFailed = true;
        CheckWriteError();
    } else {
        std::fflush(file.get());
    }
    if (writeFailed) throw TStreamWriteException();
}

void TCStream::Close() {
    if (!file) return;
    if (mode & MODE_WRITE) {
        if (std::fflush(file.get()) != 0) writeFailed = true;
        CheckWriteError();
    }
    // fclose writes nothing more after the flush, but a file system may report a delayed
    // write failure only here.
    if (std::fclose(file.release()) != 0 && (mode & MODE_WRITE)) writeFailed = true;
    position = 0;
    size = 0;
    if (writeFailed) throw TStreamWriteException();
}

int32_t TCStream::Read(void* buffer, int32_t count) {
    count = RoomFor(count);
    if (!file || count <= 0) return 0;
    SwitchAccess(LastAccess::Read);
    std::FILE* f = file.get();
    const auto n = static_cast<int32_t>(std::fread(buffer, 1, static_cast<size_t>(count), f));
    if (position >= 0) {
        position += n;
    } else if (n < count && std::feof(f)) {
        reachedFileEnd = true;
    }
    // The error flag is shared with writing; a failed read shows in its short count already.
    if (n < count) std::clearerr(f);
    return n;
}

int32_t TCStream::Write(const void* buffer, int32_t count) {
    count = RoomFor(count);
    if (!file || !(mode & MODE_WRITE) || writeFailed || count <= 0) return 0;
    SwitchAccess(LastAccess::Write);
    const auto n = static_cast<int32_t>(std::fwrite(buffer, 1, static_cast<size_t>(count), file.get()));
    // The count alone does not tell: after a failed flush the C library still fills its buffer
    // and reports every byte as written.
    CheckWriteError();
    if (n < count) writeFailed = true;
    if (writeFailed) return 0;
    if (position >= 0) {
        position += n;
        size = std::max(size, position);
    }
    return n;
}

std::u16string TCStream::ReadTextLine() {
    std::u16string line;
    if (!file) return line;
    SwitchAccess(LastAccess::Read);
    std::FILE* f = file.get();
    while (RoomFor(1) == 1) {
        const int byte = GetByteUnlocked(f);
        if (byte == EOF) {
            if (position < 0 && std::feof(f)) reachedFileEnd = true;
            std::clearerr(f);
            break;
        }
        if (position >= 0) ++position;
        if (byte == 10 || byte == 0) break;
        if (byte != 13) line += static_cast<char16_t>(byte);
    }
    return line;
}

int32_t TCStream::ReadUInt8() {
    return std::max(ReadByte(), 0);
}

int TCStream::ReadByteSlowly() {
    if (!file || TCStream::AtEnd()) return -1;
    SwitchAccess(LastAccess::Read);
    std::FILE* f = file.get();
    const int byte = std::getc(f);
    if (byte == EOF) {
        const bool ended = std::feof(f) != 0;
        std::clearerr(f);
        if (position < 0 && ended) {
            reachedFileEnd = true;
            return -1;
        }
        throw TStreamReadException();
    }
    if (position >= 0) ++position;
    return byte;
}

void TCStream::CheckWriteError() {
    if (std::ferror(file.get())) writeFailed = true;
}

void TCStream::SwitchAccess(LastAccess next) {
    if (lastAccess != LastAccess::None && lastAccess != next) {
        if (lastAccess == LastAccess::Write && std::fflush(file.get()) != 0) writeFailed = true;
        SeekFile(file.get(), 0, SEEK_CUR);
    }
    lastAccess = next;
}

int32_t TCStream::RoomFor(int32_t count) const {
    if (position < 0) return count;
    return std::min(count, kMaxStreamSize - position);
}

}  // namespace qrv
