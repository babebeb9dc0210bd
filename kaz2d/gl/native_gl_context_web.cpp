#include <SDL.h>
#include <emscripten.h>
#include <emscripten/html5.h>

#include "kaz2d/gl/native_gl_context.h"

namespace qrv {
namespace {

// Every context draws into the page's canvas.
constexpr const char* CANVAS = "#canvas";

struct TWebGLRequest {
    int32_t flags = 0;
    TGLProfile profile = TGLProfile::ES;
};

TWebGLRequest& LastRequest() {
    static TWebGLRequest request;
    return request;
}

EMSCRIPTEN_WEBGL_CONTEXT_HANDLE HandleOf(TNativeGLContext context) {
    return static_cast<EMSCRIPTEN_WEBGL_CONTEXT_HANDLE>(reinterpret_cast<intptr_t>(context));
}

TNativeGLContext ContextOf(EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle) {
    return reinterpret_cast<TNativeGLContext>(static_cast<intptr_t>(handle));
}

}  // namespace

bool NativeGLOffers(TGLProfile profile) {
    return profile == TGLProfile::ES || profile == TGLProfile::ES2;
}

void RequestNativePixelFormat(int32_t flags, TGLProfile profile) {
    LastRequest() = {flags, profile};
}

SDL_Window* CreateSharedContextWindow(bool& made) {
    made = true;
    return nullptr;
}

// The canvas shows only what a present gives it. A browser shows the canvas every time the
// program gives it a turn, also between presents, and programs clear their back buffer right
// after presenting: so contexts draw into an offscreen back buffer, which presenting copies to
// the canvas (explicit swap control). Contexts on the one canvas share one WebGL context, and
// with it every object.
TNativeGLContext CreateNativeGLContext(SDL_Window*, bool) {
    const TWebGLRequest& request = LastRequest();
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = (request.flags & 4) != 0;
    attributes.depth = (request.flags & 8) != 0;
    attributes.stencil = (request.flags & 16) != 0;
    attributes.antialias = false;
    attributes.majorVersion = request.profile == TGLProfile::ES ? 2 : 1;
    attributes.minorVersion = 0;
    attributes.explicitSwapControl = true;
    attributes.renderViaOffscreenBackBuffer = true;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle = emscripten_webgl_create_context(CANVAS, &attributes);
    return handle > 0 ? ContextOf(handle) : nullptr;
}

// Destroying a WebGL context would also take the canvas's input handlers, which the window's
// events come from; the page keeps its context for as long as it is open, as browsers do.
void DeleteNativeGLContext(TNativeGLContext context) {
    if (CurrentNativeGLContext() == context) emscripten_webgl_make_context_current(0);
}

void BindNativeGLContext(SDL_Window*, TNativeGLContext context) {
    emscripten_webgl_make_context_current(HandleOf(context));
}

TNativeGLContext CurrentNativeGLContext() {
    return ContextOf(emscripten_webgl_get_current_context());
}

// The browser presents at its own rate.
void SetNativeSwapInterval(int32_t) {}

// Copies the back buffer to the canvas, then gives the browser its turn, in which it shows it.
void SwapNativeGLWindow(SDL_Window*) {
    emscripten_webgl_commit_frame();
    emscripten_sleep(0);
}

void NativeGLDrawableSize(SDL_Window*, int& width, int& height) {
    emscripten_get_canvas_element_size(CANVAS, &width, &height);
}

}  // namespace qrv
