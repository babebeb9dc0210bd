#include "game/dialogue_layout.h"

#include <algorithm>

namespace zorvak {

std::vector<std::u16string> WrapDialogueText(std::u16string_view text, int minLength) {
    const size_t mark = static_cast<size_t>(std::max(minLength, 0));
    std::u16string rest(text);
    rest.append(DIALOGUE_TAIL_BLANKS, u' ');
    std::vector<std::u16string> pieces;
    for (;;) {
        const size_t blank = rest.find(u' ', mark);
        // Only a mark beyond the end of the padded text finds no blank; the rest is then one
        // piece.
        if (blank == std::u16string::npos) {
            pieces.push_back(std::move(rest));
            return pieces;
        }
        pieces.push_back(rest.substr(0, blank));
        rest.erase(0, blank + 1);
        if (rest.size() <= mark) {
            pieces.push_back(std::move(rest));
            return pieces;
        }
    }
}

}  // namespace zorvak
