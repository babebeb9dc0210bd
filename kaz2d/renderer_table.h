#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "kaz2d/kaz2d_driver.h"

namespace qrv {

// The Kaz2D renderers a program can choose from, and how one is chosen.
//
// Each renderer module enters its renderers here when it initialises, under the names users
// choose them by ("opengl" for the fixed-function renderer, "glcore", "gles" and "gles2" for
// the shader renderer on its OpenGL profiles). The table is process-wide, newest entry first,
// and never emptied.
//
// By default the most preferred renderer that can really make its context on this machine is
// selected, and the selection stays as it is where none can. The environment variable
// ZORVAK_RENDERER, read once at start-up, names the renderer to use instead; a renderer that
// cannot be made there leaves the selection as it is.
inline constexpr const char* RENDERER_VARIABLE = "ZORVAK_RENDERER";

// The renderer's driver where it can make a context on this machine, else none.
using TRendererDriverHere = Ref<TKaz2DDriver> (*)();

// A renderer as the table holds it.
struct TRendererEntry {
    // The name ZORVAK_RENDERER and SelectRenderer take.
    std::string name;
    // The start-up rule takes the creatable renderer of the highest preference; among equal
    // ones, the newest.
    int32_t preference = 0;
    TRendererDriverHere driverHere = nullptr;
};

// Enters the renderer ahead of the earlier ones; false, with the table unchanged, when the
// name is taken already or no driver function is given.
bool RegisterRenderer(TRendererEntry entry);

// Selects the named renderer's driver with back buffering; false, with the selection
// unchanged, when no renderer module initialised so far entered the name, or the renderer
// cannot make a context here. Open contexts of
// the previous driver stay as they are.
[[nodiscard]] bool SelectRenderer(std::string_view name);

// The start-up rule: the renderer chosen (the variable's value; none or empty for no choice)
// when it can be made here; without a choice, the most preferred renderer that can be made
// here; otherwise the selection stays as it is.
void SelectStartupRenderer(const char* chosen);

}  // namespace qrv
