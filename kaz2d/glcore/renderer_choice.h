#pragma once

#include <string_view>

#include "kaz2d/kaz2d_driver.h"

namespace qrv {

// The two Kaz2D renderers and how one is chosen.
//
// "opengl" is the fixed-function renderer in immediate mode (its driver reads "OpenGL");
// "glcore" draws with shaders and vertex buffers in batches, on an OpenGL 3.3 core context or,
// where the machine has none, an OpenGL ES 3.0 or else 2.0 one (its driver reads "OpenGL 3.3
// core", "OpenGL ES 3.0" or "OpenGL ES 2.0"); "gles" is the shader renderer on OpenGL ES only
// (3.0, else 2.0), "gles2" on OpenGL ES 2.0 only.
//
// By default the shader renderer is selected when its context can really be made on this
// machine, and the fixed-function one stays otherwise. The environment variable
// ZORVAK_RENDERER, read once when the module initialises, names the renderer to use instead;
// a renderer that cannot be made there leaves the fixed-function one selected.
inline constexpr const char* RENDERER_VARIABLE = "ZORVAK_RENDERER";

// Initialises the OpenGL Kaz2D module first (which selects the fixed-function renderer), then
// selects the renderer as described above; once.
void InitGLCoreKaz2DModule();

// The shader renderer's driver for the first profile that can make a context here (core, then
// ES 3.0, then ES 2.0), or none. Each profile is tried once, with a hidden context.
Ref<TKaz2DDriver> AvailableGLCoreDriver();

// The start-up rule: the renderer chosen (the variable's value; none or empty for no choice)
// when it can be made here, else, without a choice, the shader renderer when it can be made;
// otherwise the selection stays as it is.
void SelectStartupRenderer(const char* chosen);

// Selects the named renderer's driver with back buffering ("opengl", "glcore", "gles" or
// "gles2");
// false, with the selection unchanged, when the name is unknown or the renderer cannot make
// a context here. Open contexts of the previous driver stay as they are.
[[nodiscard]] bool SelectRenderer(std::string_view name);

}  // namespace qrv
