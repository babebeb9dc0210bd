#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/object.h"

namespace qrv {

// The root of I/O. Positions, sizes and counts are signed 32-bit: a stream holds at most
// 2^31 - 1 bytes. Binary values are little-endian.
class TIO : public TObject {
public:
    virtual bool AtEnd();                                // Position() == Size()
    virtual int32_t Position();                          // -1 when not seekable
    virtual int32_t Size();                              // 0 by default
    virtual int32_t Seek(int32_t pos);                   // the new position; -1 by default
    // Writes out what the stream buffers; nothing by default.
    virtual void Flush();
    // Flushes and releases what the stream holds (a file, a socket); nothing by default. A file
    // whose writes failed raises TStreamWriteException here.
    virtual void Close();
    virtual int32_t Read(void* buffer, int32_t count);   // bytes read; 0 when none available
    virtual int32_t Write(const void* buffer, int32_t count);  // bytes written
};

// The byte-stream interface every reader and writer of the system goes through. Characters
// travel as Latin-1: one byte per 16-bit code unit, the low 8 bits written, 0..255 read.
class TStream : public TIO {
public:
    // Reads until `count` bytes came or the stream is at its end; the rest of the buffer is left
    // as it was. Gives `count` (0 for a negative count). A Read of 0 before the end raises
    // TStreamReadException.
    virtual int32_t ReadFully(void* buffer, int32_t count);
    // Writes all `count` bytes; a Write of 0 raises TStreamWriteException. Gives `count`.
    virtual int32_t WriteFully(const void* buffer, int32_t count);
    // Reads and drops up to `count` bytes, stopping at the end. Gives `count`.
    virtual int32_t Skip(int32_t count);

    // ReadUInt8, WriteUInt8, ReadUInt16, WriteUInt16, ReadInt32, WriteInt32, ReadInt64,
    // WriteInt64, ReadFloat32, WriteFloat32, ReadFloat64 and WriteFloat64: typed values,
    // little-endian. Bytes missing at the end read as zero; 8 and 16 bits read unsigned (0..255,
    // 0..65535) and write the value's low bits; WriteFloat32 rounds to single precision.
    virtual int32_t ReadUInt8();
    virtual void WriteUInt8(int32_t value);
    virtual int32_t ReadUInt16();
    virtual void WriteUInt16(int32_t value);
    virtual int32_t ReadInt32();
    virtual void WriteInt32(int32_t value);
    virtual int64_t ReadInt64();
    virtual void WriteInt64(int64_t value);
    virtual float ReadFloat32();
    virtual void WriteFloat32(double value);
    virtual double ReadFloat64();
    virtual void WriteFloat64(double value);

    // One line: ends at LF, at a zero byte or where the data ends; CR bytes are dropped.
    virtual std::u16string ReadTextLine();
    // The text's bytes, then CR LF only if they were all written. True when both were complete.
    virtual bool WriteTextLine(std::u16string_view text);
    // Exactly `count` characters (zeros where the data ended).
    virtual std::u16string ReadChars(int32_t count);
    // The text as Latin-1 bytes, the low 8 bits of each code unit; raises TStreamWriteException
    // for a text longer than 2^31 - 1 or as WriteFully does.
    virtual void WriteChars(std::u16string_view text);

    // ReadSerialized and WriteSerialized: object serialisation, which belongs to data streams;
    // plain streams raise TRuntimeError "Unable to read object" and "Unable to write object".
    virtual Ref<TObject> ReadSerialized();
    virtual void WriteSerialized(const Ref<TObject>& object);
};

// Opens a URL: a text (a file path, or "protocol::path" served by the stream factories), a
// stream (wrapped, so closing the result leaves it open) or a memory bank. None on failure, and
// LastFailure (core/failure.h) then says why: the URL as given and the cause ("no such file",
// "permission denied", "unknown protocol \"ftp\"", "no embedded file of that name", a
// connection's failure; before InitFramework a protocol URL finds no factory and says so).
Ref<TStream> OpenUrl(const Ref<TObject>& url, bool readable, bool writeable);
Ref<TStream> OpenUrl(std::u16string_view url, bool readable, bool writeable);
// OpenReadStream and OpenWriteStream: OpenUrl for reading only or for writing only; none on
// failure.
Ref<TStream> OpenReadStream(const Ref<TObject>& url);
Ref<TStream> OpenReadStream(std::u16string_view url);
Ref<TStream> OpenWriteStream(const Ref<TObject>& url);
Ref<TStream> OpenWriteStream(std::u16string_view url);

}  // namespace qrv
