#pragma once

// The shader OpenGL renderer.
// Everything a program may use of this library; its other headers are internal.

#include "kaz2d/glshader/glshader_module.h"
