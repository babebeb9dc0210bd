#include "stream/stream_module.h"

#include "stream/bank_stream.h"
#include "stream/ram_stream.h"
#include "stream/stream_factory.h"

namespace qrv {

void InitStreamModule() {
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    NewStreamFactory<TRamStreamFactory>();
    NewStreamFactory<TBankStreamFactory>();
}

}  // namespace qrv
