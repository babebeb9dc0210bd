#pragma once

#include "stream/stream.h"

namespace qrv {

// The stream operations as free functions taking the stream first, for callers that prefer
// ReadTextLine(stream) to stream.ReadTextLine(). Each does what the method of its name does.
// AtEnd, Position, Size, Seek, Flush and Close: as TIO's methods.
inline bool AtEnd(TStream& stream) { return stream.AtEnd(); }
inline int32_t Position(TStream& stream) { return stream.Position(); }
inline int32_t Size(TStream& stream) { return stream.Size(); }
inline int32_t Seek(TStream& stream, int32_t pos) { return stream.Seek(pos); }
inline void Flush(TStream& stream) { stream.Flush(); }
inline void Close(TStream& stream) { stream.Close(); }

// ReadUInt8, WriteUInt8, ReadUInt16, WriteUInt16, ReadInt32, WriteInt32, ReadInt64, WriteInt64,
// ReadFloat32, WriteFloat32, ReadFloat64 and WriteFloat64: typed values, as TStream's methods.
inline int32_t ReadUInt8(TStream& stream) { return stream.ReadUInt8(); }
inline void WriteUInt8(TStream& stream, int32_t value) { stream.WriteUInt8(value); }
inline int32_t ReadUInt16(TStream& stream) { return stream.ReadUInt16(); }
inline void WriteUInt16(TStream& stream, int32_t value) { stream.WriteUInt16(value); }
inline int32_t ReadInt32(TStream& stream) { return stream.ReadInt32(); }
inline void WriteInt32(TStream& stream, int32_t value) { stream.WriteInt32(value); }
inline int64_t ReadInt64(TStream& stream) { return stream.ReadInt64(); }
inline void WriteInt64(TStream& stream, int64_t value) { stream.WriteInt64(value); }
inline float ReadFloat32(TStream& stream) { return stream.ReadFloat32(); }
inline void WriteFloat32(TStream& stream, double value) { stream.WriteFloat32(value); }
inline double ReadFloat64(TStream& stream) { return stream.ReadFloat64(); }
inline void WriteFloat64(TStream& stream, double value) { stream.WriteFloat64(value); }

// ReadTextLine, WriteTextLine, ReadChars and WriteChars: text, as TStream's methods.
inline std::u16string ReadTextLine(TStream& stream) { return stream.ReadTextLine(); }
inline bool WriteTextLine(TStream& stream, std::u16string_view text) { return stream.WriteTextLine(text); }
inline std::u16string ReadChars(TStream& stream, int32_t count) { return stream.ReadChars(count); }
inline void WriteChars(TStream& stream, std::u16string_view text) { stream.WriteChars(text); }

}  // namespace qrv
