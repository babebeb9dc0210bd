#pragma once

#include <cstdint>
#include <string>

namespace zorvak {

// The password of the separately distributed picture archive, joined from pieces so that it
// does not stand whole in the program. Variant 1 is the real password; any other variant
// joins only some of the pieces and gives a different text.
std::u16string BuildArchivePassword(int32_t variant);

}  // namespace zorvak
