#include "stream/url_failure.h"

#include <cerrno>
#include <system_error>

#include "core/failure.h"
#include "core/text.h"
#include "stream/bank.h"
#include "stream/stream.h"

namespace qrv {
namespace {

thread_local std::string notedOpenFailure;

}  // namespace

std::string UrlForFailure(const Ref<TObject>& url) {
    if (const std::u16string* text = AsText(url)) {
        // Appended piece by piece: GCC 12 warns wrongly about "\"" + std::string&&.
        std::string quoted = "\"";
        quoted += ToUtf8(*text);
        quoted += '"';
        return quoted;
    }
    if (std::dynamic_pointer_cast<TBank>(url)) return "a memory bank";
    if (std::dynamic_pointer_cast<TStream>(url)) return "a stream";
    return url ? "an object that is no URL" : "no URL";
}

void SetUrlFailure(const Ref<TObject>& url, std::string_view cause) {
    SetLastFailure(UrlForFailure(url) + ": " + std::string(cause));
}

std::string FileErrorCause(int code) {
    switch (code) {
    case ENOENT: return "no such file";
    case EACCES:
    case EPERM: return "permission denied";
    case EISDIR: return "a folder, not a file";
    case 0: return "not a name a file can have";
    default: return std::generic_category().message(code);
    }
}

std::string TruncatedCause(int64_t bytes) {
    return "truncated after " + std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

void NoteOpenFailure(std::string_view cause) {
    if (notedOpenFailure.empty()) notedOpenFailure = cause;
}

const std::string& NotedOpenFailure() { return notedOpenFailure; }

void ForgetOpenFailure() { notedOpenFailure.clear(); }

}  // namespace qrv
