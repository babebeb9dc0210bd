#pragma once

#include <cstdint>

#include "kaz2d/gl/gl_profile.h"

struct SDL_Window;

namespace qrv {

// The native layer of the OpenGL driver: SDL windows with GL contexts that all share one
// hidden context's texture name space.
enum class TGLContextKind : int32_t { Shared = 0, Attached = 1, Windowed = 2, FullScreen = 3 };

// One native context: what it was made as and with, and the objects a renderer keeps in it.
struct TGLContextRecord {
    // What it was made as, and with: size in pixels, depth in bits per pixel (0: windowed),
    // refresh rate and GFX_ flags; then its SDL window and GL context.
    TGLContextKind kind = TGLContextKind::Shared;
    int32_t width = 0;
    int32_t height = 0;
    int32_t depth = 0;
    int32_t hertz = 0;
    int32_t flags = 0;
    SDL_Window* window = nullptr;
    void* glContext = nullptr;  // SDL_GLContext
    // The OpenGL profile of the context.
    TGLProfile profile = TGLProfile::Compatibility;
    // Objects the renderer drawing into the context made for it alone, 0 until made: a vertex
    // array (contexts share none), and the vertex and index buffers only this context refills,
    // since a shared buffer refilled by one context may still be read by another's draws.
    uint32_t vertexArray = 0;
    uint32_t vertexBuffer = 0;
    uint32_t indexBuffer = 0;
    // Indices of consecutive quads (four vertices each, cut into two triangles), written once
    // and grown when a longer run of quads is drawn; quadIndexCount quads' worth so far.
    uint32_t quadIndexBuffer = 0;
    uint32_t quadIndexCount = 0;
    // Deletes the buffers, called with the context current just before it is destroyed: their
    // names are shared, so they would outlive it.
    void (*releaseBuffers)(const TGLContextRecord& record) = nullptr;
};

// A context in a new window of our own: windowed at (32, 32) with the application title when
// depth is 0, else full screen with a display-mode change. Nullptr when the window, the pixel
// format, the context or the shared context cannot be had, with LastFailure set to "could not
// open a window: " and the cause (SDL's own, SDLFailureReason). Raises "GLGraphicsDriver failed
// to set display mode" when the display refuses the full-screen mode.
TGLContextRecord* CreateGLContext(int32_t width, int32_t height, int32_t depth, int32_t hertz,
                                  int32_t flags,
                                  TGLProfile profile = TGLProfile::Compatibility);
// A context rendering into a caller's SDL window (made with SDL_WINDOW_OPENGL), or nullptr
// with LastFailure set as CreateGLContext sets it.
TGLContextRecord* AttachGLContext(SDL_Window* window, int32_t flags,
                                  TGLProfile profile = TGLProfile::Compatibility);
// Destroys the context and, for windows of our own, the window. Unknown records are ignored.
void CloseGLContext(TGLContextRecord* record);
// Makes the record current (nullptr: no context).
void MakeGLContextCurrent(TGLContextRecord* record);
// The current record, or nullptr when no context is current.
TGLContextRecord* CurrentGLContext();
// Whether a context of the profile is current: it shares the objects of the profile's hidden
// context, so textures can be made and deleted in it without switching there.
bool CurrentGLContextIs(TGLProfile profile);
// Sets the swap interval (sync normalised to 0 or 1) when it changed, then swaps the buffers.
void PresentGLContext(int32_t sync);
// Switches between the shared context and the current one; calls come in pairs around
// texture creation and deletion so textures live in the shared name space.
void SwapSharedGLContext(TGLProfile profile = TGLProfile::Compatibility);
// The pixel size of the current context's drawable, which differs from the record's size when
// a window manager forced the window to another size; false without a current context.
bool CurrentGLDrawableSize(int32_t& width, int32_t& height);
// True when a context of the profile can be made here: its hidden shared context is made on
// the first call (tried once) and kept.
bool CanCreateGLContext(TGLProfile profile);
// Makes later attempts to create contexts of the profile fail as if the machine offered none;
// for tests of what happens where a profile is missing. Contexts that exist are kept.
void SetGLProfileRefused(TGLProfile profile, bool refused);
// Refreshes an attached record's size from its window.
void RefreshGLContextSize(TGLContextRecord* record);

// LastPresentSwapInterval and PresentSwapIntervalChanges: the swap interval the last present
// set (-1 before any), and how often a present set it.
int32_t LastPresentSwapInterval();
int32_t PresentSwapIntervalChanges();

}  // namespace qrv
