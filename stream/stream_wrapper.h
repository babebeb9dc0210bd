#pragma once

#include "stream/stream.h"

namespace qrv {

// Forwards to an inner stream. ReadFully, WriteFully, Skip, ReadInt64 and WriteInt64 are not
// forwarded: they run the TStream versions over the wrapper's own (forwarding) Read and Write,
// so a subclass that changes Read or Write changes them too. Without an inner stream the
// wrapper behaves like a closed file: at its end, position and size 0, reads and writes give 0.
class TStreamWrapper : public TStream {
public:
    // Holds a reference to `stream` and releases the previous inner stream.
    void SetInner(Ref<TStream> stream);
    // The inner stream, or none.
    const Ref<TStream>& Inner() const { return inner; }

    bool AtEnd() override;
    int32_t Position() override;
    int32_t Size() override;
    int32_t Seek(int32_t pos) override;
    void Flush() override;
    void Close() override;
    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;

    int32_t ReadUInt8() override;
    void WriteUInt8(int32_t value) override;
    int32_t ReadUInt16() override;
    void WriteUInt16(int32_t value) override;
    int32_t ReadInt32() override;
    void WriteInt32(int32_t value) override;
    float ReadFloat32() override;
    void WriteFloat32(double value) override;
    double ReadFloat64() override;
    void WriteFloat64(double value) override;
    std::u16string ReadTextLine() override;
    bool WriteTextLine(std::u16string_view text) override;
    std::u16string ReadChars(int32_t count) override;
    void WriteChars(std::u16string_view text) override;
    Ref<TObject> ReadSerialized() override;
    void WriteSerialized(const Ref<TObject>& object) override;

private:
    Ref<TStream> inner;
};

// A wrapper whose Close only lets go of the inner stream, which stays open for its owner.
class TStreamStream : public TStreamWrapper {
public:
    // A new wrapper over `stream` (none is allowed: the wrapper is then like a closed file).
    static Ref<TStreamStream> Wrap(Ref<TStream> stream);
    void Close() override;
};

}  // namespace qrv
