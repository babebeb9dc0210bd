#pragma once

#include <string>
#include <string_view>

namespace qrv {

// Why the calling thread's last failed call failed. The calls that give no result on failure (a
// null stream, pixmap, image, font or window) keep the reason here: the URL or file and the
// cause, such as `"ship.png": no such file` or `"ship.png": truncated after 812 bytes`. A call
// that succeeds leaves it as it is, so read it right after a call gave no result; empty while
// nothing has failed on this thread.
[[nodiscard]] const std::u16string& LastFailure();
// The same reason as UTF-8, for printing.
[[nodiscard]] std::string LastFailureUtf8();

// Records the reason of a failure for LastFailure; the framework's own calls use it, and a
// program's own loaders may too.
void SetLastFailure(std::u16string reason);
void SetLastFailure(std::string_view utf8Reason);
// Forgets the calling thread's last reason.
void ClearLastFailure();

}  // namespace qrv
