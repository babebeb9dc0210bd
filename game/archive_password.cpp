#include "game/archive_password.h"

#include <array>
#include <string_view>

namespace zorvak {

namespace {

constexpr std::array<std::u16string_view, 7> PIECES = {u"Zor", u"7", u"vak", u"-", u"Ta",
                                                       u"41", u"ka"};
constexpr std::array<int, 3> DECOY_PIECES = {0, 2, 4};

}  // namespace

std::u16string BuildArchivePassword(int32_t variant) {
    std::u16string password;
    if (variant == 1) {
        for (std::u16string_view piece : PIECES) password += piece;
    } else {
        for (int index : DECOY_PIECES) password += PIECES[index];
    }
    return password;
}

}  // namespace zorvak
