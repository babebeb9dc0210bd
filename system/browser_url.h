#pragma once

#include <string>

namespace qrv {

// Completes what a program passes to OpenInBrowser: a url that starts with "http:", "https:"
// or "file:" (in any case) stays as it is; otherwise the text before the first "#" is taken as a
// path made absolute, and becomes "file:" + that path (with "/" between names, also on Windows)
// when it names an existing file or folder, else "http:" + the text; the anchor ("#" and what
// follows) is kept at the end.
std::u16string CompleteBrowserUrl(const std::u16string& url);

}  // namespace qrv
