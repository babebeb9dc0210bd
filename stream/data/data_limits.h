#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>

namespace qrv {

// The most bytes one written object may take: its length is stored as a signed 32-bit count.
inline constexpr size_t MAX_GRAPH_BYTES = std::numeric_limits<int32_t>::max();
// Objects nested deeper than this raise, on writing and on reading, instead of overflowing the
// call stack.
inline constexpr int MAX_GRAPH_DEPTH = 256;

}  // namespace qrv
