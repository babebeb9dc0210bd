#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/object.h"
#include "stream/data/data_limits.h"
#include "stream/data/data_types.h"

namespace qrv {

// Decodes one graph of objects from memory. Every read is checked against the end of the body
// being read, every count against the bytes that could hold it, and every reference against
// the objects read so far; a failure raises TDataReadException naming the problem. Work and
// memory therefore stay in proportion to the data.
class TDataReader {
public:
    TDataReader(const uint8_t* data, size_t size);
    // A graph that failed half-way is unlinked, so that cycles in it free themselves.
    ~TDataReader();
    TDataReader(const TDataReader&) = delete;
    TDataReader& operator=(const TDataReader&) = delete;

    uint32_t ReadUInt8();
    uint32_t ReadUInt16();
    uint32_t ReadUInt32();
    int32_t ReadInt32();
    int64_t ReadInt64();
    float ReadFloat32();
    double ReadFloat64();
    // A view of the next count bytes.
    const uint8_t* ReadBytes(size_t count);
    std::u16string ReadText();
    // A count of items of at least minItemBytes bytes each that the rest of the body can hold.
    uint32_t ReadCount(size_t minItemBytes, const char* what);
    Ref<TObject> ReadObject();
    // Makes the object whose body is being read known to references from inside its body.
    // Containers call it before reading their items, so that an item may refer back.
    void Announce(const Ref<TObject>& object);

    // The whole data as one object; raises when bytes are left over.
    Ref<TObject> ReadRoot();
    // Bytes left in the body being read.
    size_t Remaining() const { return end - position; }

    [[noreturn]] static void Fail(const std::string& problem);

private:
    struct TTypeEntry {
        const TDataType* type;
        int32_t version;
    };
    struct TSlot {
        Ref<TObject> object;
        const TDataType* type;
    };

    const uint8_t* Take(size_t count);
    const TTypeEntry& ReadTypeTag(uint32_t tag);
    Ref<TObject> ReadReference();
    Ref<TObject> ReadBody(const TTypeEntry& entry);

    const uint8_t* data;
    size_t position = 0;
    size_t end;
    std::vector<TTypeEntry> types;
    std::vector<TSlot> objects;
    size_t currentSlot = 0;
    int depth = 0;
    bool complete = false;
};

// The tags that start every value in the encoding.
enum : uint8_t {
    DATA_TAG_NONE = 0,
    DATA_TAG_NEW_TYPE = 1,
    DATA_TAG_KNOWN_TYPE = 2,
    DATA_TAG_REFERENCE = 3,
};

}  // namespace qrv
