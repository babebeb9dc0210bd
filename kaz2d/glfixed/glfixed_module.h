#pragma once

namespace qrv {

// Initialises the Kaz2D and OpenGL graphics modules, enters the fixed-function renderer in the
// renderer table as "opengl" and selects it; once. Not in the web build: a browser's WebGL has
// no fixed-function pipeline.
void InitGLKaz2DModule();

}  // namespace qrv
