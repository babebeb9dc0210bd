#pragma once

#include <cstdio>
#include <memory>

#include "stream/stream.h"

namespace qrv {

// getc without taking the file's lock: a stream is used by one thread at a time.
inline int GetByteUnlocked(std::FILE* file) {
#ifdef _WIN32
    return _getc_nolock(file);
#else
    return getc_unlocked(file);
#endif
}

// A file stream over the C library's buffered files. Position and size are cached: the size is
// measured at opening and grows as writes pass the end. A file that cannot seek (a pipe) has
// position -1 and size 0, which marks the stream as not seekable; it is at its end once a read
// found the end of the file (AtEnd looks ahead one byte, waiting for it if need be).
//
// A failed write is remembered: the C library goes on taking bytes into its buffer after a
// flush failed, so every later Write gives 0, and Flush and Close raise TStreamWriteException
// when bytes did not reach the file (Close still closes it).
class TCStream : public TStream {
public:
    static constexpr int MODE_READ = 1;
    static constexpr int MODE_WRITE = 2;
    static constexpr int MODE_READ_WRITE = 3;

    // "r+b" when both flags are set, "wb" (create or truncate) when only writeable, else "rb".
    // Backslashes in the path count as "/". None when the file does not open or is a directory;
    // the cause is noted for the open in progress (NoteOpenFailure).
    [[nodiscard]] static Ref<TCStream> OpenCFile(std::u16string_view path, bool readable, bool writeable);
    // Takes over an open file (closing it with the stream); none for a null file.
    [[nodiscard]] static Ref<TCStream> FromCFile(std::FILE* file, int mode);

    bool AtEnd() override;
    int32_t Position() override { return position; }
    int32_t Size() override { return size; }
    int32_t Seek(int32_t pos) override;
    void Flush() override;
    // Flushes and closes the file; afterwards reads and writes give 0 and Seek gives -1.
    // Raises TStreamWriteException, once the file is closed, when written bytes were lost.
    void Close() override;
    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    // The same line rules as every stream, read straight from the file's buffer instead of
    // through one Read call per byte.
    std::u16string ReadTextLine() override;
    // The same result as reading one byte with ReadFully, straight from the file's buffer.
    int32_t ReadUInt8() override;

    // The next byte, or -1 at the end (where AtEnd would be true): the byte-by-byte path of
    // text decoding. Raises TStreamReadException when the file gives nothing before that end.
    int ReadByte() {
        if (position >= 0 && position < size && lastAccess == LastAccess::Read) {
            const int byte = GetByteUnlocked(file.get());
            if (byte != EOF) {
                ++position;
                return byte;
            }
        }
        return ReadByteSlowly();
    }

    int Mode() const { return mode; }
    bool IsOpen() const { return file != nullptr; }
    // Whether a write, flush or close has failed on this stream.
    bool WriteFailed() const { return writeFailed; }

private:
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    enum class LastAccess { None, Read, Write };

    TCStream(std::FILE* file, int mode);
    // The C library needs a seek between a write and a following read, and the other way round.
    void SwitchAccess(LastAccess next);
    // Bytes that may still pass the position before the stream would exceed 2^31 - 1 bytes.
    int32_t RoomFor(int32_t count) const;
    // Notes a failure the C library's error flag shows after a write or flush.
    void CheckWriteError();
    // For an unseekable file: whether the next byte is the end of the file.
    bool PeekEnd();
    int ReadByteSlowly();

    int32_t position = 0;
    int32_t size = 0;
    std::unique_ptr<std::FILE, FileCloser> file;
    int mode = MODE_READ;
    LastAccess lastAccess = LastAccess::None;
    bool writeFailed = false;
    bool reachedFileEnd = false;  // an unseekable file's read found the end of the file
};

}  // namespace qrv
