#pragma once

#include <SDL.h>

namespace qrv {

// Sets slot to the current context's OpenGL entry point of that name; true when it has one.
template <typename T>
bool LookUpGLEntryPoint(T& slot, const char* name) {
    slot = reinterpret_cast<T>(SDL_GL_GetProcAddress(name));
    return slot != nullptr;
}

}  // namespace qrv
