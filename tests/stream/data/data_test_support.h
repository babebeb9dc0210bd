#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/object.h"
#include "core/object_list.h"
#include "stream/bank.h"
#include "stream/bank_stream.h"
#include "stream/data/data_exceptions.h"
#include "stream/data/data_stream.h"

namespace qrv::test {

using Bytes = std::vector<uint8_t>;

// Builds data by hand, little-endian, to feed the reader what no writer would.
class ByteBuilder {
public:
    ByteBuilder& U8(uint32_t v) {
        bytes.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    ByteBuilder& U16(uint32_t v) { return U8(v).U8(v >> 8); }
    ByteBuilder& U32(uint32_t v) { return U16(v).U16(v >> 16); }
    ByteBuilder& Raw(const std::string& text) {
        bytes.insert(bytes.end(), text.begin(), text.end());
        return *this;
    }
    ByteBuilder& Raw(const Bytes& more) {
        bytes.insert(bytes.end(), more.begin(), more.end());
        return *this;
    }
    // A new-type tag with its name and version, then a body of the given bytes.
    ByteBuilder& Object(const std::string& type, uint32_t version, const Bytes& body) {
        U8(1).U8(static_cast<uint32_t>(type.size())).Raw(type).U16(version);
        return U32(static_cast<uint32_t>(body.size())).Raw(body);
    }
    Bytes bytes;
};

// The header and one graph around the value bytes.
inline Bytes DataFile(const Bytes& value) {
    ByteBuilder file;
    file.Raw("QRVD").U32(1).U32(static_cast<uint32_t>(value.size())).Raw(value);
    return file.bytes;
}

inline Ref<TBank> BankOf(const Bytes& bytes) {
    Ref<TBank> bank = TBank::NewBank(static_cast<int32_t>(bytes.size()));
    if (!bytes.empty()) std::copy(bytes.begin(), bytes.end(), bank->Data());
    return bank;
}

inline Bytes Encode(const Ref<TObject>& object) {
    Ref<TBank> bank = TBank::NewBank(0);
    DataStreamOver(BankStreamOver(bank))->WriteSerialized(object);
    return Bytes(bank->Data(), bank->Data() + bank->Size());
}

inline Ref<TObject> Decode(const Bytes& bytes) {
    return DataStreamOver(BankStreamOver(BankOf(bytes)))->ReadSerialized();
}

// The problem a read of the bytes reports, or "no error".
inline std::string ReadProblem(const Bytes& bytes) {
    try {
        Decode(bytes);
    } catch (const TDataReadException& e) {
        return e.Problem();
    }
    return "no error";
}

// Breaks the cycles of lists that hold themselves, so that they are freed.
inline void BreakCycles(const Ref<TObject>& object) {
    auto list = std::dynamic_pointer_cast<TObjectList>(object);
    if (!list || list->Count() == 0) return;
    std::vector<Ref<TObject>> items(list->begin(), list->end());
    list->Clear();
    for (const Ref<TObject>& item : items) BreakCycles(item);
}

}  // namespace qrv::test
