#include "game/board_text.h"

#include "game/board.h"

namespace zorvak {
namespace {

std::string ColumnHeader() {
    std::string line = "   ";
    for (int c = 0; c < BOARD_SIZE; ++c) {
        line += "  ";
        line += static_cast<char>('A' + c);
    }
    return line + "\n";
}

template <class CellText>
std::string GridText(CellText cellText) {
    std::string text = ColumnHeader();
    for (int r = 0; r < BOARD_SIZE; ++r) {
        text.append(" ").append(std::to_string(r + 1)).append(" ");
        for (int c = 0; c < BOARD_SIZE; ++c) {
            const std::string cell = cellText(c, r);
            text.append(3 - cell.size(), ' ').append(cell);
        }
        text += "\n";
    }
    return text;
}

}  // namespace

std::string BoardText() {
    std::string text = "Direction finders:\n";
    text += GridText([](int c, int r) { return std::to_string(finders[c][r]); });
    text += "\nSpies:\n";
    text += GridText([](int c, int r) { return std::string(spies[c][r] == 1 ? "X" : "."); });
    return text;
}

}  // namespace zorvak
