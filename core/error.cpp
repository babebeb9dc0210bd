#include "core/error.h"

#include "core/text.h"

namespace qrv {

TRuntimeError::TRuntimeError(const std::u16string& message)
    : std::runtime_error(ToUtf8(message)), message(message) {}

TRuntimeError::TRuntimeError(const std::string& utf8Message)
    : std::runtime_error(utf8Message), message(FromUtf8(utf8Message)) {}

}  // namespace qrv
