#include "pixmap/save_outcome.h"

#include "stream/stream_exceptions.h"

namespace qrv {

bool SaveOutcome(bool encoded, const std::exception_ptr& failure, TStreamCloser& closer) {
    try {
        if (failure) std::rethrow_exception(failure);
        if (!encoded) return false;
        closer.Close();
        return true;
    } catch (const TStreamException&) {
        return false;
    }
}

}  // namespace qrv
