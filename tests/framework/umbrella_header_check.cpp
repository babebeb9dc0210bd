// Compiled, never run: see CMakeLists.txt beside it.
#include "framework/framework.h"
