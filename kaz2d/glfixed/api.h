#pragma once

// The fixed-function OpenGL renderer (desktop builds).
// Everything a program may use of this library; its other headers are internal.

#include "kaz2d/glfixed/glfixed_module.h"
