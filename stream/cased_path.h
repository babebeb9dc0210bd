#pragma once

#include <string>
#include <string_view>

namespace qrv {

// The actual letter case of an existing path whose case may be wrong: each component is looked
// up in its directory ignoring A-Z case. An existing path comes back unchanged; empty when some
// component has no match. Where the file system itself ignores case (Windows), every path that
// exists in any case comes back unchanged.
std::u16string FindCasedPath(std::u16string_view path);

}  // namespace qrv
