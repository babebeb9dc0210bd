#pragma once

#include <cstdint>

namespace qrv {

// The kind of OpenGL a context offers. Each profile has its own hidden shared context, since
// contexts of different profiles cannot share objects.
enum class TGLProfile : int32_t {
    Compatibility = 0,  // fixed function, as SDL's defaults give it
    Core = 1,           // OpenGL 3.3 core
    ES = 2,             // OpenGL ES 3.0
    ES2 = 3,            // OpenGL ES 2.0
};

}  // namespace qrv
