#include "stream/stream_module.h"

#include "stream/bank_stream.h"
#include "stream/http_stream.h"
#include "stream/ram_stream.h"
#include "stream/socket_platform.h"
#include "stream/socket_stream.h"
#include "stream/stream_factory.h"
#include "stream/text_stream.h"
#include "stream/xendian_stream.h"

namespace qrv {

void InitStreamModule() {
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    platform::StartSockets();
    NewStreamFactory<TRamStreamFactory>();
    NewStreamFactory<TBankStreamFactory>();
    NewStreamFactory<TTextStreamFactory>();
    NewStreamFactory<TXEndianStreamFactory>();
    NewStreamFactory<TSocketStreamFactory>();
    NewStreamFactory<THTTPStreamFactory>();
}

}  // namespace qrv
