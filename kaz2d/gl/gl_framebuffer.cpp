#include "kaz2d/gl/gl_framebuffer.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <array>

#include "kaz2d/gl/gl_entry_point.h"

namespace qrv {

namespace {

struct TFramebufferFunctions {
    PFNGLGENFRAMEBUFFERSPROC Gen = nullptr;
    PFNGLBINDFRAMEBUFFERPROC Bind = nullptr;
    PFNGLFRAMEBUFFERTEXTURE2DPROC AttachTexture = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC CheckStatus = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC Delete = nullptr;
    bool Complete() const { return Gen && Bind && AttachTexture && CheckStatus && Delete; }
};

enum class TLookup { NotYet, Found, Missing };

// Per profile: whether its contexts have framebuffer objects, and the entry points.
std::array<TLookup, 4> lookups{};
std::array<TFramebufferFunctions, 4> functions{};
bool compatibilityRefused = false;

// The entry points under the names of OpenGL 3.0 or, with suffix "EXT", of the older extension
// (its functions take the same arguments and constants).
TFramebufferFunctions LookUp(const std::string& suffix) {
    TFramebufferFunctions f;
    LookUpGLEntryPoint(f.Gen, ("glGenFramebuffers" + suffix).c_str());
    LookUpGLEntryPoint(f.Bind, ("glBindFramebuffer" + suffix).c_str());
    LookUpGLEntryPoint(f.AttachTexture, ("glFramebufferTexture2D" + suffix).c_str());
    LookUpGLEntryPoint(f.CheckStatus, ("glCheckFramebufferStatus" + suffix).c_str());
    LookUpGLEntryPoint(f.Delete, ("glDeleteFramebuffers" + suffix).c_str());
    return f;
}

// The major version of the current context's OpenGL, 0 when it does not say.
int MajorVersion() {
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    return version && *version >= '1' && *version <= '9' ? *version - '0' : 0;
}

TFramebufferFunctions FindFunctions(TGLProfile profile) {
    if (profile != TGLProfile::Compatibility) return LookUp("");
    if (MajorVersion() >= 3 || SDL_GL_ExtensionSupported("GL_ARB_framebuffer_object"))
        return LookUp("");
    if (SDL_GL_ExtensionSupported("GL_EXT_framebuffer_object")) return LookUp("EXT");
    return {};
}

const TFramebufferFunctions* FunctionsFor(TGLProfile profile) {
    if (profile == TGLProfile::Compatibility && compatibilityRefused) return nullptr;
    const auto at = static_cast<size_t>(profile);
    if (at >= lookups.size() || !CurrentGLContextIs(profile)) return nullptr;
    if (lookups[at] == TLookup::NotYet) {
        functions[at] = FindFunctions(profile);
        lookups[at] = functions[at].Complete() ? TLookup::Found : TLookup::Missing;
    }
    return lookups[at] == TLookup::Found ? &functions[at] : nullptr;
}

// The functions the framebuffer now bound was made with.
const TFramebufferFunctions* openedWith = nullptr;

}  // namespace

bool GLFramebuffersAvailable(TGLProfile profile) {
    return FunctionsFor(profile) != nullptr;
}

uint32_t OpenTextureFramebuffer(uint32_t texture, TGLProfile profile, std::string& reason) {
    const TFramebufferFunctions* f = FunctionsFor(profile);
    if (!f) {
        reason = "this OpenGL context has no framebuffer objects to draw into images with";
        return 0;
    }
    GLuint framebuffer = 0;
    f->Gen(1, &framebuffer);
    f->Bind(GL_FRAMEBUFFER, framebuffer);
    f->AttachTexture(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    const GLenum status = f->CheckStatus(GL_FRAMEBUFFER);
    if (framebuffer == 0 || status != GL_FRAMEBUFFER_COMPLETE) {
        f->Bind(GL_FRAMEBUFFER, 0);
        if (framebuffer != 0) f->Delete(1, &framebuffer);
        reason = "OpenGL cannot draw into the image's texture (framebuffer status " +
                 std::to_string(status) + ")";
        return 0;
    }
    openedWith = f;
    return framebuffer;
}

void CloseTextureFramebuffer(uint32_t framebuffer) {
    if (!openedWith || framebuffer == 0) return;
    const GLuint name = framebuffer;
    openedWith->Bind(GL_FRAMEBUFFER, 0);
    openedWith->Delete(1, &name);
    openedWith = nullptr;
}

void SetGLFramebuffersRefused(bool refused) {
    compatibilityRefused = refused;
}

}  // namespace qrv
