#pragma once

#include <cstring>
#include <type_traits>

namespace qrv {

// The bits of one value read as another type of the same size (a float's bits as an integer and
// back), as std::bit_cast does; this one also builds with standard libraries that lack it.
template <class To, class From>
    requires(sizeof(To) == sizeof(From) && std::is_trivially_copyable_v<To> &&
             std::is_trivially_copyable_v<From>)
[[nodiscard]] To BitCast(const From& from) noexcept {
    To to;
    std::memcpy(&to, &from, sizeof(To));
    return to;
}

}  // namespace qrv
