#include "stream/data/data_reader.h"

#include "core/bit_cast.h"
#include "core/byte_order.h"
#include "stream/data/data_exceptions.h"

namespace qrv {

namespace {

// The type name as it may appear in a message: printable ASCII, others shown as '?'.
std::string Printable(const uint8_t* name, size_t length) {
    std::string text;
    for (size_t i = 0; i < length; ++i)
        text.push_back(name[i] >= 32 && name[i] < 127 ? static_cast<char>(name[i]) : '?');
    return text;
}

}  // namespace

TDataReader::TDataReader(const uint8_t* data, size_t size) : data(data), end(size) {}

TDataReader::~TDataReader() {
    if (complete) return;
    for (TSlot& slot : objects)
        if (slot.object && slot.type->unlink) slot.type->unlink(*slot.object);
}

void TDataReader::Fail(const std::string& problem) {
    throw TDataReadException(problem);
}

const uint8_t* TDataReader::Take(size_t count) {
    if (count > Remaining()) {
        Fail(depth == 0 ? "data ends early" : "object data ends early");
    }
    const uint8_t* first = data + position;
    position += count;
    return first;
}

uint32_t TDataReader::ReadUInt8() {
    return *Take(1);
}

uint32_t TDataReader::ReadUInt16() {
    return LoadLittleEndian<uint16_t>(Take(2));
}

uint32_t TDataReader::ReadUInt32() {
    return LoadLittleEndian<uint32_t>(Take(4));
}

int32_t TDataReader::ReadInt32() {
    return static_cast<int32_t>(ReadUInt32());
}

int64_t TDataReader::ReadInt64() {
    return static_cast<int64_t>(LoadLittleEndian<uint64_t>(Take(8)));
}

float TDataReader::ReadFloat32() {
    return BitCast<float>(ReadUInt32());
}

double TDataReader::ReadFloat64() {
    return BitCast<double>(ReadInt64());
}

const uint8_t* TDataReader::ReadBytes(size_t count) {
    return Take(count);
}

std::u16string TDataReader::ReadText() {
    const uint32_t count = ReadCount(2, "text");
    std::u16string text(count, u'\0');
    for (char16_t& unit : text) unit = static_cast<char16_t>(ReadUInt16());
    return text;
}

uint32_t TDataReader::ReadCount(size_t minItemBytes, const char* what) {
    const uint32_t count = ReadUInt32();
    if (minItemBytes > 0 && count > Remaining() / minItemBytes)
        Fail(std::string(what) + " length " + std::to_string(count) +
             " beyond the end of the data");
    return count;
}

void TDataReader::Announce(const Ref<TObject>& object) {
    if (depth > 0) objects[currentSlot].object = object;
}

Ref<TObject> TDataReader::ReadRoot() {
    Ref<TObject> root = ReadObject();
    if (Remaining() != 0) Fail(std::to_string(Remaining()) + " bytes after the object");
    complete = true;
    return root;
}

const TDataReader::TTypeEntry& TDataReader::ReadTypeTag(uint32_t tag) {
    if (tag == DATA_TAG_KNOWN_TYPE) {
        const uint32_t number = ReadUInt32();
        if (number >= types.size())
            Fail("type number " + std::to_string(number) + " out of range (" +
                 std::to_string(types.size()) + " types)");
        return types[number];
    }
    const uint32_t length = ReadUInt8();
    const uint8_t* name = Take(length);
    const std::string text = Printable(name, length);
    const TDataType* type =
        FindDataType(std::string_view(reinterpret_cast<const char*>(name), length));
    if (!type) Fail("unknown data type '" + text + "'");
    const auto version = static_cast<int32_t>(ReadUInt16());
    if (version < 1 || version > type->version)
        Fail("unsupported version " + std::to_string(version) + " of data type '" + text + "'");
    types.push_back({type, version});
    return types.back();
}

Ref<TObject> TDataReader::ReadReference() {
    const uint32_t number = ReadUInt32();
    if (number >= objects.size())
        Fail("reference " + std::to_string(number) + " out of range (" +
             std::to_string(objects.size()) + " objects)");
    const Ref<TObject>& object = objects[number].object;
    if (!object) Fail("reference " + std::to_string(number) + " to an object still being read");
    return object;
}

Ref<TObject> TDataReader::ReadObject() {
    const uint32_t tag = ReadUInt8();
    if (tag == DATA_TAG_NONE) return nullptr;
    if (tag == DATA_TAG_REFERENCE) return ReadReference();
    if (tag != DATA_TAG_NEW_TYPE && tag != DATA_TAG_KNOWN_TYPE)
        Fail("unknown tag " + std::to_string(tag));
    // Copied: reading the body may add types and move the table.
    const TTypeEntry entry = ReadTypeTag(tag);
    return ReadBody(entry);
}

Ref<TObject> TDataReader::ReadBody(const TTypeEntry& entry) {
    if (depth >= MAX_GRAPH_DEPTH) Fail("objects nested too deeply");
    const uint32_t length = ReadUInt32();
    if (length > Remaining())
        Fail("object length " + std::to_string(length) + " beyond the end of the data");
    const size_t slot = objects.size();
    objects.push_back({nullptr, entry.type});
    const size_t outerEnd = end;
    const size_t outerSlot = currentSlot;
    end = position + length;
    currentSlot = slot;
    ++depth;
    Ref<TObject> object = entry.type->read(*this, entry.version);
    --depth;
    if (!object) Fail("data type '" + entry.type->name + "' gave no object");
    if (Remaining() != 0)
        Fail(std::to_string(Remaining()) + " bytes left over in an object of type '" +
             entry.type->name + "'");
    end = outerEnd;
    currentSlot = outerSlot;
    objects[slot].object = object;
    return object;
}

}  // namespace qrv
