#pragma once

#include <cstdint>
#include <string>

#include "kaz2d/gl/gl_context.h"

namespace qrv {

// Framebuffer objects that send drawing into a texture. OpenGL 3.3 core and both ES versions
// always have them; a compatibility context has them from OpenGL 3.0 on or through the
// framebuffer-object extensions. A framebuffer object belongs to the context it was made in:
// contexts share textures but not framebuffers.

// Whether the current context, of the profile, has framebuffer objects; the answer for a
// profile is found in its first context and kept.
[[nodiscard]] bool GLFramebuffersAvailable(TGLProfile profile);

// A new framebuffer object, bound, drawing into level 0 of the texture; 0 with the reason set
// when the current context has none or cannot draw into that texture (nothing stays bound then).
[[nodiscard]] uint32_t OpenTextureFramebuffer(uint32_t texture, TGLProfile profile,
                                              std::string& reason);
// Binds the window's framebuffer again and deletes the framebuffer object.
void CloseTextureFramebuffer(uint32_t framebuffer);

// Makes compatibility contexts answer as if they had no framebuffer objects; for tests of what
// happens on an old OpenGL.
void SetGLFramebuffersRefused(bool refused);

}  // namespace qrv
