#pragma once

#include <cstdint>

#include "kaz2d/gl/gl_context.h"

namespace qrv {

// Vertex attribute locations of the renderer's program.
inline constexpr uint32_t kPositionAttribute = 0;
inline constexpr uint32_t kTexCoordAttribute = 1;
inline constexpr uint32_t kColourAttribute = 2;

// The one program the shader renderer draws everything with: positions in window pixels through
// a projection, texel times vertex colour, fragments below an alpha cut discarded.
struct TGLShaderProgram {
    uint32_t name = 0;  // 0: it did not build
    int32_t projection = -1;
    int32_t alphaCut = -1;
    int32_t image = -1;
};

// Compiles and links the program for the profile's shading language in the current context.
[[nodiscard]] TGLShaderProgram BuildGLShaderProgram(TGLProfile profile);

}  // namespace qrv
