// Feeds arbitrary bytes to a data stream's reader: every input must read or raise
// TStreamReadException, without crashing, leaking or reading out of bounds. Every object read
// must then survive a round trip: written, read again and written once more, it gives the same
// bytes as the first writing. The input itself is not compared: it may name a type twice where
// the writer numbers it, or hold objects in a form the reader accepts and the writer never makes.
#include "stream/data/data_stream.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/object_list.h"
#include "kaz2d/kaz2d_module.h"
#include "stream/bank.h"
#include "stream/bank_stream.h"
#include "stream/stream_exceptions.h"
#include "support/fuzz_check.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Lists read from the input may hold themselves; emptying them lets them be freed.
void BreakCycles(const qrv::Ref<qrv::TObject>& object, int depth) {
    auto list = std::dynamic_pointer_cast<qrv::TObjectList>(object);
    if (!list || list->Count() == 0 || depth > 300) return;
    std::vector<qrv::Ref<qrv::TObject>> items(list->begin(), list->end());
    list->Clear();
    for (const auto& item : items) BreakCycles(item, depth + 1);
}

qrv::Ref<qrv::TBank> BankOf(const uint8_t* data, size_t size) {
    qrv::Ref<qrv::TBank> bank = qrv::TBank::NewBank(static_cast<int32_t>(size));
    if (size > 0) std::memcpy(bank->Data(), data, size);
    return bank;
}

// The object alone in a data stream, as the writer puts it: the canonical form to compare.
Bytes Encode(const qrv::Ref<qrv::TObject>& object) {
    qrv::Ref<qrv::TBank> bank = qrv::TBank::NewBank(0);
    try {
        qrv::DataStreamOver(qrv::BankStreamOver(bank))->WriteSerialized(object);
    } catch (const qrv::TStreamWriteException& error) {
        qrv::fuzz::Fail(__FILE__, __LINE__, "an object that was read cannot be written", error.what());
    }
    return Bytes(bank->Data(), bank->Data() + bank->Size());
}

qrv::Ref<qrv::TObject> Decode(const Bytes& bytes) {
    auto stream = qrv::DataStreamOver(qrv::BankStreamOver(BankOf(bytes.data(), bytes.size())));
    qrv::Ref<qrv::TObject> object;
    try {
        object = stream->ReadSerialized();
    } catch (const qrv::TStreamReadException& error) {
        qrv::fuzz::Fail(__FILE__, __LINE__, "what was written does not read back", error.what());
    }
    FUZZ_CHECK(stream->AtEnd(), "bytes left after reading back what was written");
    return object;
}

void CheckRoundTrip(const qrv::Ref<qrv::TObject>& object) {
    const Bytes written = Encode(object);
    const qrv::Ref<qrv::TObject> copy = Decode(written);
    const Bytes rewritten = Encode(copy);
    BreakCycles(copy, 0);
    FUZZ_CHECK(rewritten == written, "an object read back writes differently (" +
                                         std::to_string(written.size()) + " bytes, then " +
                                         std::to_string(rewritten.size()) + ")");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool initialised = (qrv::InitKaz2DModule(), true);
    (void)initialised;
    if (size > (1u << 24)) return 0;
    auto stream = qrv::DataStreamOver(qrv::BankStreamOver(BankOf(data, size)));
    // Several objects may follow one header.
    for (int i = 0; i < 4 && !stream->AtEnd(); ++i) {
        qrv::Ref<qrv::TObject> object;
        try {
            object = stream->ReadSerialized();
        } catch (const qrv::TStreamReadException&) {
            return 0;
        }
        CheckRoundTrip(object);
        BreakCycles(object, 0);
    }
    return 0;
}
