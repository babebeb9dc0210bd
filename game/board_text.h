#pragma once

#include <string>

namespace zorvak {

// The board as text: every cell's finder count as an 8 by 8 grid, then where the spies are.
std::string BoardText();

}  // namespace zorvak
