#include "stream/stream_wrapper.h"

namespace qrv {

void TStreamWrapper::SetInner(Ref<TStream> stream) {
    inner = std::move(stream);
}

bool TStreamWrapper::AtEnd() {
    return inner ? inner->AtEnd() : true;
}

int32_t TStreamWrapper::Position() {
    return inner ? inner->Position() : 0;
}

int32_t TStreamWrapper::Size() {
    return inner ? inner->Size() : 0;
}

int32_t TStreamWrapper::Seek(int32_t pos) {
    return inner ? inner->Seek(pos) : -1;
}

void TStreamWrapper::Flush() {
    if (inner) inner->Flush();
}

void TStreamWrapper::Close() {
    if (inner) inner->Close();
}

int32_t TStreamWrapper::Read(void* buffer, int32_t count) {
    return inner ? inner->Read(buffer, count) : 0;
}

int32_t TStreamWrapper::Write(const void* buffer, int32_t count) {
    return inner ? inner->Write(buffer, count) : 0;
}

int32_t TStreamWrapper::ReadUInt8() {
    return inner ? inner->ReadUInt8() : TStream::ReadUInt8();
}

void TStreamWrapper::WriteUInt8(int32_t value) {
    inner ? inner->WriteUInt8(value) : TStream::WriteUInt8(value);
}

int32_t TStreamWrapper::ReadUInt16() {
    return inner ? inner->ReadUInt16() : TStream::ReadUInt16();
}

void TStreamWrapper::WriteUInt16(int32_t value) {
    inner ? inner->WriteUInt16(value) : TStream::WriteUInt16(value);
}

int32_t TStreamWrapper::ReadInt32() {
    return inner ? inner->ReadInt32() : TStream::ReadInt32();
}

void TStreamWrapper::WriteInt32(int32_t value) {
    inner ? inner->WriteInt32(value) : TStream::WriteInt32(value);
}

float TStreamWrapper::ReadFloat32() {
    return inner ? inner->ReadFloat32() : TStream::ReadFloat32();
}

void TStreamWrapper::WriteFloat32(double value) {
    inner ? inner->WriteFloat32(value) : TStream::WriteFloat32(value);
}

double TStreamWrapper::ReadFloat64() {
    return inner ? inner->ReadFloat64() : TStream::ReadFloat64();
}

void TStreamWrapper::WriteFloat64(double value) {
    inner ? inner->WriteFloat64(value) : TStream::WriteFloat64(value);
}

std::u16string TStreamWrapper::ReadTextLine() {
    return inner ? inner->ReadTextLine() : TStream::ReadTextLine();
}

bool TStreamWrapper::WriteTextLine(std::u16string_view text) {
    return inner ? inner->WriteTextLine(text) : TStream::WriteTextLine(text);
}

std::u16string TStreamWrapper::ReadChars(int32_t count) {
    return inner ? inner->ReadChars(count) : TStream::ReadChars(count);
}

void TStreamWrapper::WriteChars(std::u16string_view text) {
    inner ? inner->WriteChars(text) : TStream::WriteChars(text);
}

Ref<TObject> TStreamWrapper::ReadSerialized() {
    return inner ? inner->ReadSerialized() : TStream::ReadSerialized();
}

void TStreamWrapper::WriteSerialized(const Ref<TObject>& object) {
    inner ? inner->WriteSerialized(object) : TStream::WriteSerialized(object);
}

Ref<TStreamStream> TStreamStream::Wrap(Ref<TStream> stream) {
    auto wrapper = std::make_shared<TStreamStream>();
    wrapper->SetInner(std::move(stream));
    return wrapper;
}

void TStreamStream::Close() {
    SetInner(nullptr);
}

}  // namespace qrv
