#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "stream/stream.h"

namespace qrv {

// Opens url for reading or writing; a URL that does not open raises TRuntimeError naming it.
Ref<TStream> OpenStreamOrRaise(const Ref<TObject>& url, bool writing);

// Whole-content transfers. A URL that does not open raises TRuntimeError naming the URL;
// nothing is read or written then. The stream opened for the transfer is always closed again.
// Saving raises TStreamWriteException when the bytes did not all reach their file, also when
// that shows only on closing it.
std::vector<uint8_t> LoadBytes(const Ref<TObject>& url);
std::vector<uint8_t> LoadBytes(std::u16string_view url);
// Reads an open stream to its end and leaves it open. A read that gives nothing before the end
// raises TStreamReadException from a seekable stream (its size promised more); an unseekable
// stream that gives nothing ends the loading. More bytes than LoadBytesLimit raise TRuntimeError.
std::vector<uint8_t> LoadBytes(TStream& stream);

// The most bytes LoadBytes (and what loads through it: banks from URLs, whole texts) holds in
// memory, so a server that never ends its body cannot fill it. 256 MiB unless the program sets
// another; at most 2 GiB less one byte, the most a stream can address. SetLoadBytesLimit sets it
// (in bytes, clamped to 0..2^31 - 1) and LoadBytesLimit gives it.
inline constexpr int64_t DEFAULT_LOAD_BYTES_LIMIT = int64_t{256} << 20;
void SetLoadBytesLimit(int64_t bytes);
int64_t LoadBytesLimit();
// The bytes of a URL as a text, one code unit per byte (Latin-1); raises as LoadBytes.
std::u16string LoadByteString(const Ref<TObject>& url);
std::u16string LoadByteString(std::u16string_view url);
// Writes the text's code units as bytes (their low 8 bits) to the URL; raises as the saving above.
void SaveByteString(std::u16string_view text, const Ref<TObject>& url);
void SaveByteString(std::u16string_view text, std::u16string_view url);
// Writes the bytes to the URL, replacing a file's contents; raises as the saving above.
void SaveBytes(const std::vector<uint8_t>& bytes, const Ref<TObject>& url);
void SaveBytes(const std::vector<uint8_t>& bytes, std::u16string_view url);

// Serialised objects through a URL; plain streams refuse with "Unable to read object" and
// "Unable to write object". ReadObjectFrom gives none when the URL does not open, and
// WriteObjectTo then does nothing.
Ref<TObject> ReadObjectFrom(const Ref<TObject>& url);
void WriteObjectTo(const Ref<TObject>& object, const Ref<TObject>& url);

// Copies until `from` is at its end; a read that gives nothing stops an unseekable source and
// raises TStreamReadException from a seekable one.
void CopyUntilEnd(TStream& from, TStream& to, int32_t bufferSize = 4096);
// Copies `count` bytes; a negative count copies nothing. Raises TStreamReadException when
// `from` ends or fails before giving them.
void CopyCount(TStream& from, TStream& to, int32_t count, int32_t bufferSize = 4096);

}  // namespace qrv
