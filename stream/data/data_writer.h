#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/object.h"
#include "stream/data/data_limits.h"
#include "stream/data/data_types.h"

namespace qrv {

// Encodes one graph of objects into memory, little-endian. Every object is written once: a
// second meeting (a shared object, or a cycle back to a container being written) writes a
// reference to its number instead. Types' write functions call the Write operations.
class TDataWriter {
public:

    void WriteUInt8(uint32_t value);
    void WriteUInt16(uint32_t value);
    void WriteUInt32(uint32_t value);
    void WriteInt32(int32_t value);
    void WriteInt64(int64_t value);
    void WriteFloat32(float value);
    void WriteFloat64(double value);
    void WriteBytes(const void* data, size_t count);
    // A count of 16-bit code units, then the units.
    void WriteText(std::u16string_view text);
    // None, a reference to an object written before, or the object with its type and body.
    // Raises TDataWriteException for an object without a data type.
    void WriteObject(const Ref<TObject>& object);

    const std::vector<uint8_t>& Bytes() const { return bytes; }

private:
    void WriteLittleEndian(uint64_t value, size_t size);
    void WriteTypeOf(const TDataType& type);
    void CheckSize() const;

    std::vector<uint8_t> bytes;
    std::unordered_map<const TObject*, uint32_t> objectNumbers;
    // Every numbered object, kept alive while the writer lives: an object a type's write made
    // on the spot (an image frame decoded from its file) would otherwise leave its address to
    // the next one, which would then be written as a reference to it.
    std::vector<Ref<TObject>> numbered;
    std::unordered_map<const TDataType*, uint32_t> typeNumbers;
    int depth = 0;
};

}  // namespace qrv
