#pragma once

#include "kaz2d/kaz2d_driver.h"

namespace qrv {

// Initialises the Kaz2D and OpenGL graphics modules and enters the shader renderer in the
// renderer table, preferred to the fixed-function renderer: as "glcore" on the first OpenGL
// profile that can make a context here (3.3 core, then ES 3.0, then ES 2.0), as "gles" on
// OpenGL ES only (3.0, else 2.0) and as "gles2" on OpenGL ES 2.0 only. Selects nothing; once.
void InitGLShaderKaz2DModule();

// The shader renderer's driver for the first profile that can make a context here (core, then
// ES 3.0, then ES 2.0), or none. Each profile is tried once, with a hidden context.
Ref<TKaz2DDriver> AvailableGLShaderDriver();

}  // namespace qrv
