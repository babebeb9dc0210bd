#pragma once

#include <string>
#include <string_view>

namespace qrv {

// The actual letter case of an existing path whose case may be wrong: each component is looked
// up in its directory ignoring A-Z case. An existing path comes back unchanged; empty when some
// component has no match.
std::u16string FindCasedPath(std::u16string_view path);

}  // namespace qrv
