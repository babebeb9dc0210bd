#include "stream/data/data_writer.h"

#include <cstring>

#include "core/bit_cast.h"
#include "core/byte_order.h"
#include "stream/data/data_exceptions.h"
#include "stream/data/data_reader.h"

namespace qrv {

namespace {

class TDepthGuard {
public:
    explicit TDepthGuard(int& depth) : depth(depth) { ++depth; }
    ~TDepthGuard() { --depth; }
    TDepthGuard(const TDepthGuard&) = delete;
    TDepthGuard& operator=(const TDepthGuard&) = delete;

private:
    int& depth;
};

}  // namespace

void TDataWriter::CheckSize() const {
    if (bytes.size() > MAX_GRAPH_BYTES)
        throw TDataWriteException("object too large for a data stream");
}

void TDataWriter::WriteUInt8(uint32_t value) {
    bytes.push_back(static_cast<uint8_t>(value));
}

void TDataWriter::WriteLittleEndian(uint64_t value, size_t size) {
    const size_t at = bytes.size();
    bytes.resize(at + size);
    StoreLittleEndian(bytes.data() + at, value, size);
}

void TDataWriter::WriteUInt16(uint32_t value) {
    WriteLittleEndian(value, 2);
}

void TDataWriter::WriteUInt32(uint32_t value) {
    WriteLittleEndian(value, 4);
}

void TDataWriter::WriteInt32(int32_t value) {
    WriteUInt32(static_cast<uint32_t>(value));
}

void TDataWriter::WriteInt64(int64_t value) {
    WriteLittleEndian(static_cast<uint64_t>(value), 8);
}

void TDataWriter::WriteFloat32(float value) {
    WriteUInt32(BitCast<uint32_t>(value));
}

void TDataWriter::WriteFloat64(double value) {
    WriteInt64(BitCast<int64_t>(value));
}

void TDataWriter::WriteBytes(const void* data, size_t count) {
    if (count > MAX_GRAPH_BYTES - bytes.size())
        throw TDataWriteException("object too large for a data stream");
    const auto* first = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), first, first + count);
}

void TDataWriter::WriteText(std::u16string_view text) {
    if (text.size() > MAX_GRAPH_BYTES / 2)
        throw TDataWriteException("text too long for a data stream");
    WriteUInt32(static_cast<uint32_t>(text.size()));
    for (char16_t unit : text) WriteUInt16(unit);
    CheckSize();
}

void TDataWriter::WriteTypeOf(const TDataType& type) {
    const auto known = typeNumbers.find(&type);
    if (known != typeNumbers.end()) {
        WriteUInt8(DATA_TAG_KNOWN_TYPE);
        WriteUInt32(known->second);
        return;
    }
    typeNumbers.emplace(&type, static_cast<uint32_t>(typeNumbers.size()));
    WriteUInt8(DATA_TAG_NEW_TYPE);
    WriteUInt8(static_cast<uint32_t>(type.name.size()));
    WriteBytes(type.name.data(), type.name.size());
    WriteUInt16(static_cast<uint32_t>(type.version));
}

void TDataWriter::WriteObject(const Ref<TObject>& object) {
    if (!object) {
        WriteUInt8(DATA_TAG_NONE);
        return;
    }
    const auto written = objectNumbers.find(object.get());
    if (written != objectNumbers.end()) {
        WriteUInt8(DATA_TAG_REFERENCE);
        WriteUInt32(written->second);
        return;
    }
    const TDataType* type = DataTypeOf(*object);
    if (!type) throw TDataWriteException("no data type for this object");
    if (depth >= MAX_GRAPH_DEPTH) throw TDataWriteException("objects nested too deeply");
    objectNumbers.emplace(object.get(), static_cast<uint32_t>(objectNumbers.size()));
    numbered.push_back(object);
    WriteTypeOf(*type);
    // The body's length goes in front of it; it is known once the body is written.
    const size_t lengthAt = bytes.size();
    WriteUInt32(0);
    {
        TDepthGuard guard(depth);
        type->write(*this, *object);
    }
    CheckSize();
    const auto length = static_cast<uint32_t>(bytes.size() - lengthAt - 4);
    StoreLittleEndian(bytes.data() + lengthAt, length);
}

}  // namespace qrv
