// Feeds arbitrary bytes to a data stream's reader: every input must read or raise
// TStreamReadException, without crashing, leaking or reading out of bounds.
#include "stream/data/data_stream.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/object_list.h"
#include "kaz2d/kaz2d_module.h"
#include "stream/bank.h"
#include "stream/bank_stream.h"
#include "stream/stream_exceptions.h"

namespace {

// Lists read from the input may hold themselves; emptying them lets them be freed.
void BreakCycles(const qrv::Ref<qrv::TObject>& object, int depth) {
    auto list = std::dynamic_pointer_cast<qrv::TObjectList>(object);
    if (!list || list->Count() == 0 || depth > 300) return;
    std::vector<qrv::Ref<qrv::TObject>> items(list->begin(), list->end());
    list->Clear();
    for (const auto& item : items) BreakCycles(item, depth + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool initialised = (qrv::InitKaz2DModule(), true);
    (void)initialised;
    if (size > (1u << 24)) return 0;
    qrv::Ref<qrv::TBank> bank = qrv::TBank::NewBank(static_cast<int32_t>(size));
    if (size > 0) std::memcpy(bank->Data(), data, size);
    auto stream = qrv::DataStreamOver(qrv::BankStreamOver(bank));
    try {
        // Several objects may follow one header.
        for (int i = 0; i < 4 && !stream->AtEnd(); ++i) BreakCycles(stream->ReadSerialized(), 0);
    } catch (const qrv::TStreamReadException&) {
    }
    return 0;
}
