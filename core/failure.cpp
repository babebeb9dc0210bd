#include "core/failure.h"

#include "core/text.h"

namespace qrv {

namespace {
// Each thread keeps its own reason, so a loader thread's failure never shows as the main
// thread's.
thread_local std::u16string lastFailure;
}  // namespace

const std::u16string& LastFailure() { return lastFailure; }

std::string LastFailureUtf8() { return ToUtf8(lastFailure); }

void SetLastFailure(std::u16string reason) { lastFailure = std::move(reason); }

void SetLastFailure(std::string_view utf8Reason) { lastFailure = FromUtf8(utf8Reason); }

void ClearLastFailure() { lastFailure.clear(); }

}  // namespace qrv
