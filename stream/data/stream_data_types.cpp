#include "stream/data/stream_data_types.h"

#include <cstring>

#include "core/boxed_values.h"
#include "core/object_list.h"
#include "stream/bank.h"
#include "stream/data/data_reader.h"
#include "stream/data/data_types.h"
#include "stream/data/data_writer.h"

namespace qrv {

namespace {

void WriteList(TDataWriter& out, const TObjectList& list) {
    out.WriteUInt32(static_cast<uint32_t>(list.Count()));
    for (const Ref<TObject>& item : list) out.WriteObject(item);
}

Ref<TObject> ReadList(TDataReader& in, int32_t) {
    auto list = std::make_shared<TObjectList>();
    in.Announce(list);
    // Every item takes at least its one tag byte.
    const uint32_t count = in.ReadCount(1, "list");
    for (uint32_t i = 0; i < count; ++i) list->Add(in.ReadObject());
    return list;
}

void WriteBank(TDataWriter& out, const TBank& bank) {
    out.WriteUInt32(static_cast<uint32_t>(bank.Size()));
    out.WriteBytes(bank.Data(), static_cast<size_t>(bank.Size()));
}

Ref<TObject> ReadBank(TDataReader& in, int32_t) {
    const uint32_t size = in.ReadCount(1, "bank");
    Ref<TBank> bank = TBank::NewBank(static_cast<int32_t>(size));
    if (!bank) TDataReader::Fail("bank of " + std::to_string(size) + " bytes cannot be made");
    if (size > 0) std::memcpy(bank->Data(), in.ReadBytes(size), size);
    return bank;
}

}  // namespace

void RegisterStreamDataTypes() {
    RegisterDataType<TText>(
        "qrv.core.TText", 1, [](TDataWriter& out, const TText& text) { out.WriteText(text.value); },
        [](TDataReader& in, int32_t) { return MakeText(in.ReadText()); });
    RegisterDataType<TInteger>(
        "qrv.core.TInteger", 1,
        [](TDataWriter& out, const TInteger& boxed) { out.WriteInt64(boxed.value); },
        [](TDataReader& in, int32_t) { return MakeInteger(in.ReadInt64()); });
    RegisterDataType<TReal>(
        "qrv.core.TReal", 1,
        [](TDataWriter& out, const TReal& boxed) { out.WriteFloat64(boxed.value); },
        [](TDataReader& in, int32_t) { return MakeReal(in.ReadFloat64()); });
    RegisterDataType<TObjectList>("qrv.core.TObjectList", 1, WriteList, ReadList,
                                  [](TObjectList& list) { list.Clear(); });
    RegisterDataType<TBank>("qrv.stream.TBank", 1, WriteBank, ReadBank);
}

}  // namespace qrv
