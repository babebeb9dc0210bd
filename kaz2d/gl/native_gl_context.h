#pragma once

#include <cstdint>

#include "kaz2d/gl/gl_profile.h"

struct SDL_Window;

namespace qrv {

// The platform's GL contexts under the context records: SDL's GL contexts on a desktop
// (native_gl_context_sdl.cpp), the page's WebGL contexts in a browser
// (native_gl_context_web.cpp). A context is an opaque handle, nullptr for none.
using TNativeGLContext = void*;

// Whether the platform can offer the profile at all: a browser offers the ES profiles only,
// as WebGL 2 (ES 3.0) and WebGL 1 (ES 2.0).
bool NativeGLOffers(TGLProfile profile);
// Asks for the pixel format that graphics flags give and for the profile, for the windows and
// contexts made next.
void RequestNativePixelFormat(int32_t flags, TGLProfile profile);
// The window that a profile's hidden shared context draws into: a hidden 1 x 1 window on a
// desktop, none in a browser, where every context draws into the page's canvas. `made` is
// false when it could not be made.
SDL_Window* CreateSharedContextWindow(bool& made);
// A context for the window, with the format asked for last; when shareWithCurrent, it shares
// the objects of the current context. Nullptr when it cannot be made.
TNativeGLContext CreateNativeGLContext(SDL_Window* window, bool shareWithCurrent);
void DeleteNativeGLContext(TNativeGLContext context);
// Makes the context current for drawing into the window; nullptr context: none.
void BindNativeGLContext(SDL_Window* window, TNativeGLContext context);
TNativeGLContext CurrentNativeGLContext();
void SetNativeSwapInterval(int32_t interval);
// Shows what was drawn into the window's back buffer.
void SwapNativeGLWindow(SDL_Window* window);
// The pixel size of what the window's contexts draw into.
void NativeGLDrawableSize(SDL_Window* window, int& width, int& height);

}  // namespace qrv
