#include "stream/data/data_module.h"

#include "stream/data/data_stream.h"
#include "stream/data/stream_data_types.h"
#include "stream/stream_factory.h"
#include "stream/stream_module.h"

namespace qrv {

void InitDataModule() {
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitStreamModule();
    NewStreamFactory<TDataStreamFactory>();
    RegisterStreamDataTypes();
}

}  // namespace qrv
