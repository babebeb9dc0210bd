#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/object.h"

namespace qrv {

// The reasons of failed opens and loads, as LastFailure (core/failure.h) gives them: the URL as
// the caller gave it, then the cause, e.g. "\"ship.png\": no such file".

// The cause every loader gives when it is called before the modules it needs are set up.
inline constexpr std::string_view NOT_INITIALISED_CAUSE =
    "the framework is not initialised (call InitFramework() first)";

// How a reason names a URL: a text in double quotes, else what kind of object it is ("a memory
// bank", "a stream").
[[nodiscard]] std::string UrlForFailure(const Ref<TObject>& url);

// Sets LastFailure to the URL's name and the cause.
void SetUrlFailure(const Ref<TObject>& url, std::string_view cause);

// The cause for the C library's error code `code` (errno) after a file did not open: "no such
// file", "permission denied", or the system's own message for any other code.
[[nodiscard]] std::string FileErrorCause(int code);
// The cause a loader notes for data that ends early: "truncated after 812 bytes".
[[nodiscard]] std::string TruncatedCause(int64_t bytes);

// Tells the open in progress on this thread why it gives no stream: a stream factory that
// recognises a URL but cannot open it calls this before giving none. The first cause noted
// during an open counts; OpenUrl then sets LastFailure from it. Outside an open it does nothing
// that lasts.
void NoteOpenFailure(std::string_view cause);
// The cause noted during the open in progress, empty when none was.
[[nodiscard]] const std::string& NotedOpenFailure();
// Forgets the noted cause; OpenUrl calls it as an open starts.
void ForgetOpenFailure();

}  // namespace qrv
