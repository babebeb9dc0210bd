#include <SDL.h>

#include <initializer_list>

#include "kaz2d/gl/native_gl_context.h"

namespace qrv {
namespace {

// The context version SDL asks for by default, which compatibility contexts keep.
struct TDefaultVersion {
    int major = 0;
    int minor = 0;
};

const TDefaultVersion& DefaultVersion() {
    static const TDefaultVersion version = [] {
        TDefaultVersion v;
        SDL_GL_GetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, &v.major);
        SDL_GL_GetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, &v.minor);
        return v;
    }();
    return version;
}

void RequestProfile(TGLProfile profile) {
    const TDefaultVersion& defaults = DefaultVersion();
    switch (profile) {
        case TGLProfile::Core:
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
            return;
        case TGLProfile::ES:
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
            return;
        case TGLProfile::ES2:
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
            return;
        case TGLProfile::Compatibility:
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, defaults.major);
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, defaults.minor);
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
            return;
    }
}

}  // namespace

bool NativeGLOffers(TGLProfile) {
    return true;
}

// At least one bit of colour, and the buffers the flags want.
void RequestNativePixelFormat(int32_t flags, TGLProfile profile) {
    const auto wanted = [flags](int32_t bit) { return (flags & bit) ? 1 : 0; };
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, wanted(2));
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 1);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 1);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 1);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, wanted(4));
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, wanted(8));
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, wanted(16));
    for (SDL_GLattr accum : {SDL_GL_ACCUM_RED_SIZE, SDL_GL_ACCUM_GREEN_SIZE, SDL_GL_ACCUM_BLUE_SIZE})
        SDL_GL_SetAttribute(accum, wanted(32));
    SDL_GL_SetAttribute(SDL_GL_ACCUM_ALPHA_SIZE, 0);
    RequestProfile(profile);
}

SDL_Window* CreateSharedContextWindow(bool& made) {
    SDL_Window* window = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    made = window != nullptr;
    return window;
}

TNativeGLContext CreateNativeGLContext(SDL_Window* window, bool shareWithCurrent) {
    SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, shareWithCurrent ? 1 : 0);
    SDL_GLContext context = SDL_GL_CreateContext(window);
    SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
    return context;
}

void DeleteNativeGLContext(TNativeGLContext context) {
    SDL_GL_DeleteContext(context);
}

void BindNativeGLContext(SDL_Window* window, TNativeGLContext context) {
    if (context) {
        SDL_GL_MakeCurrent(window, context);
    } else {
        SDL_GL_MakeCurrent(nullptr, nullptr);
    }
}

TNativeGLContext CurrentNativeGLContext() {
    return SDL_GL_GetCurrentContext();
}

void SetNativeSwapInterval(int32_t interval) {
    SDL_GL_SetSwapInterval(interval);
}

void SwapNativeGLWindow(SDL_Window* window) {
    SDL_GL_SwapWindow(window);
}

void NativeGLDrawableSize(SDL_Window* window, int& width, int& height) {
    SDL_GL_GetDrawableSize(window, &width, &height);
}

}  // namespace qrv
