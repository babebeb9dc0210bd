#include "kaz2d/gl/gl_context.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <list>
#include <memory>
#include <string>

#include "core/error.h"
#include "core/failure.h"
#include "core/runtime.h"
#include "core/text.h"
#include "kaz2d/gl/native_gl_context.h"
#include "system/sdl/sdl_video.h"

namespace qrv {
namespace {

struct NativeState {
    std::list<std::unique_ptr<TGLContextRecord>> contexts;  // newest first
    TGLContextRecord* current = nullptr;
    std::array<std::unique_ptr<TGLContextRecord>, 4> shared;  // one per profile
    std::array<bool, 4> sharedFailed{};
    std::array<std::string, 4> sharedFailure;  // why the shared context could not be made
    std::array<bool, 4> refused{};
    TGLContextRecord* fullScreen = nullptr;
    int32_t lastSwapInterval = -1;
    int32_t swapIntervalChanges = 0;
    bool eventWatchAdded = false;
};

NativeState& Native() {
    static NativeState state;
    return state;
}

size_t IndexOf(TGLProfile profile) {
    return static_cast<size_t>(profile);
}

void BindContext(const TGLContextRecord* record) {
    if (record) {
        BindNativeGLContext(record->window, record->glContext);
    } else {
        BindNativeGLContext(nullptr, nullptr);
    }
}

// Sets LastFailure for a window that could not be opened.
void FailWindow(std::string_view cause) {
    SetLastFailure("could not open a window: " + std::string(cause));
}

// The shared context could not be made, for the cause given; later tries give the same cause.
TGLContextRecord* FailSharedContext(size_t index, std::string cause) {
    Native().sharedFailure[index] = std::move(cause);
    FailWindow(Native().sharedFailure[index]);
    return nullptr;
}

// The hidden 1x1 context through which every other context of its profile shares its textures.
TGLContextRecord* SharedContext(TGLProfile profile) {
    NativeState& s = Native();
    const size_t index = IndexOf(profile);
    if (s.refused[index] || !NativeGLOffers(profile)) {
        FailWindow("this OpenGL profile is not offered here");
        return nullptr;
    }
    if (s.shared[index]) return s.shared[index].get();
    if (s.sharedFailed[index]) {
        FailWindow(s.sharedFailure[index]);
        return nullptr;
    }
    s.sharedFailed[index] = true;
    if (!StartSDLVideo()) return FailSharedContext(index, SDLFailureReason());
    RequestNativePixelFormat(0, profile);
    bool made = false;
    SDL_Window* window = CreateSharedContextWindow(made);
    if (!made) return FailSharedContext(index, SDLFailureReason());
    TNativeGLContext context = CreateNativeGLContext(window, false);
    if (!context) {
        std::string cause = "no OpenGL context: " + SDLFailureReason();
        if (window) SDL_DestroyWindow(window);
        return FailSharedContext(index, std::move(cause));
    }
    s.shared[index] = std::make_unique<TGLContextRecord>(
        TGLContextRecord{TGLContextKind::Shared, 1, 1, 0, 0, 0, window, context, profile});
    s.sharedFailed[index] = false;
    BindContext(s.current);
    return s.shared[index].get();
}

// A GL context for window sharing the shared context's objects; leaves the current one as it was.
TNativeGLContext CreateSharingContext(SDL_Window* window, TGLProfile profile) {
    TGLContextRecord* shared = SharedContext(profile);
    if (!shared) return nullptr;
    BindContext(shared);
    TNativeGLContext context = CreateNativeGLContext(window, true);
    BindContext(Native().current);
    return context;
}

TGLContextRecord* FindRecord(SDL_Window* window) {
    for (auto& record : Native().contexts)
        if (record->window == window) return record.get();
    return nullptr;
}

// Sets the swap interval of the record's context, whichever context is current.
void SetSwapInterval(const TGLContextRecord& record, int32_t interval) {
    BindContext(&record);
    SetNativeSwapInterval(interval);
    BindContext(Native().current);
}

// Picks the display mode for a full-screen record: its size at the requested rate first, then
// at any rate. Depth is matched loosely: SDL reports 32-bit desktops as 24 bits per pixel.
bool FindFullScreenMode(const TGLContextRecord& record, SDL_DisplayMode& found, int32_t& swap) {
    const int display = 0;
    const int count = SDL_GetNumDisplayModes(display);
    for (const bool withRate : {true, false}) {
        if (withRate && record.hertz == 0) continue;
        for (int i = 0; i < count; ++i) {
            SDL_DisplayMode mode;
            if (SDL_GetDisplayMode(display, i, &mode) != 0) continue;
            if (mode.w != record.width || mode.h != record.height) continue;
            if (SDL_BITSPERPIXEL(mode.format) < 16) continue;
            if (withRate && mode.refresh_rate != record.hertz) continue;
            found = mode;
            swap = withRate ? 1 : 0;
            return true;
        }
    }
    return false;
}

// Changes the display to the record's mode and makes its window the full-screen window.
bool EnterFullScreen(TGLContextRecord& record) {
    SDL_DisplayMode mode;
    int32_t swap = 0;
    if (!FindFullScreenMode(record, mode, swap)) return false;
    if (SDL_SetWindowDisplayMode(record.window, &mode) != 0) return false;
    if (SDL_SetWindowFullscreen(record.window, SDL_WINDOW_FULLSCREEN) != 0) return false;
    Native().fullScreen = &record;
    SetSwapInterval(record, swap);
    return true;
}

// Restores the desktop mode and minimises the full-screen window.
void LeaveFullScreen() {
    NativeState& s = Native();
    if (!s.fullScreen) return;
    SDL_SetWindowFullscreen(s.fullScreen->window, 0);
    SDL_MinimizeWindow(s.fullScreen->window);
    SetSwapInterval(*s.fullScreen, 0);
    s.fullScreen = nullptr;
}

// Window behaviour of our windows that the system driver's event translation does not cover:
// full-screen windows give the display back when they lose focus and take it on return.
int WatchWindowEvents(void*, SDL_Event* event) {
    if (event->type != SDL_WINDOWEVENT) return 0;
    TGLContextRecord* record = FindRecord(SDL_GetWindowFromID(event->window.windowID));
    if (!record) return 0;
    NativeState& s = Native();
    switch (event->window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            if (record->kind == TGLContextKind::FullScreen && s.fullScreen != record)
                EnterFullScreen(*record);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            if (s.fullScreen == record) LeaveFullScreen();
            break;
        default:
            break;
    }
    return 0;
}

TGLContextRecord* AddRecord(TGLContextRecord record) {
    NativeState& s = Native();
    if (!s.eventWatchAdded) {
        SDL_AddEventWatch(WatchWindowEvents, nullptr);
        s.eventWatchAdded = true;
    }
    if (s.contexts.empty()) {
        SDL_DisableScreenSaver();
        SDL_StartTextInput();
    }
    s.contexts.push_front(std::make_unique<TGLContextRecord>(record));
    return s.contexts.front().get();
}

SDL_Window* CreateWindow(TGLContextKind kind, int32_t width, int32_t height) {
    const std::string title = ToUtf8(ApplicationTitle());
    const Uint32 hidden = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (kind == TGLContextKind::FullScreen)
        return SDL_CreateWindow(title.c_str(), 0, 0, width, height, hidden | SDL_WINDOW_BORDERLESS);
    return SDL_CreateWindow(title.c_str(), 32, 32, width, height, hidden);
}

}  // namespace

TGLContextRecord* CreateGLContext(int32_t width, int32_t height, int32_t depth, int32_t hertz,
                                  int32_t flags, TGLProfile profile) {
    if (width <= 0 || height <= 0) {
        FailWindow(std::to_string(width) + " x " + std::to_string(height) + " pixels is no window size");
        return nullptr;
    }
    if (!SharedContext(profile)) return nullptr;
    const TGLContextKind kind = depth != 0 ? TGLContextKind::FullScreen : TGLContextKind::Windowed;
    RequestNativePixelFormat(flags, profile);
    SDL_Window* window = CreateWindow(kind, width, height);
    if (!window) {
        FailWindow(SDLFailureReason());
        return nullptr;
    }
    TNativeGLContext context = CreateSharingContext(window, profile);
    if (!context) {
        FailWindow("no OpenGL context: " + SDLFailureReason());
        SDL_DestroyWindow(window);
        return nullptr;
    }
    TGLContextRecord* record =
        AddRecord({kind, width, height, depth, hertz, flags, window, context, profile});
    if (kind == TGLContextKind::FullScreen && !EnterFullScreen(*record)) {
        CloseGLContext(record);
        throw TRuntimeError(std::string("GLGraphicsDriver failed to set display mode"));
    }
    SDL_ShowWindow(window);
    return record;
}

TGLContextRecord* AttachGLContext(SDL_Window* window, int32_t flags, TGLProfile profile) {
    if (!window) {
        FailWindow("no window given to attach to");
        return nullptr;
    }
    if (!SharedContext(profile)) return nullptr;
    if (!(SDL_GetWindowFlags(window) & SDL_WINDOW_OPENGL)) {
        FailWindow("the window given was not made for OpenGL");
        return nullptr;
    }
    RequestNativePixelFormat(flags, profile);
    TNativeGLContext context = CreateSharingContext(window, profile);
    if (!context) {
        FailWindow("no OpenGL context: " + SDLFailureReason());
        return nullptr;
    }
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window, &width, &height);
    return AddRecord(
        {TGLContextKind::Attached, width, height, 0, 0, flags, window, context, profile});
}

void CloseGLContext(TGLContextRecord* record) {
    NativeState& s = Native();
    const auto it = std::find_if(s.contexts.begin(), s.contexts.end(),
                                 [record](auto& r) { return r.get() == record; });
    if (it == s.contexts.end()) return;
    if (s.current == record) MakeGLContextCurrent(nullptr);
    if (s.fullScreen == record) LeaveFullScreen();
    if (record->releaseBuffers) {
        BindContext(record);
        record->releaseBuffers(*record);
        BindContext(s.current);
    }
    DeleteNativeGLContext(record->glContext);
    if (record->kind != TGLContextKind::Attached) SDL_DestroyWindow(record->window);
    s.contexts.erase(it);
    if (s.contexts.empty()) {
        SDL_EnableScreenSaver();
        SDL_StopTextInput();
    }
}

void MakeGLContextCurrent(TGLContextRecord* record) {
    NativeState& s = Native();
    if (record == s.current) return;
    s.current = record;
    BindContext(record);
}

TGLContextRecord* CurrentGLContext() {
    return Native().current;
}

bool CurrentGLContextIs(TGLProfile profile) {
    const TGLContextRecord* current = Native().current;
    return current && current->profile == profile;
}

void PresentGLContext(int32_t sync) {
    NativeState& s = Native();
    if (!s.current) return;
    const int32_t interval = sync != 0 ? 1 : 0;
    if (interval != s.lastSwapInterval) {
        s.lastSwapInterval = interval;
        ++s.swapIntervalChanges;
        SetNativeSwapInterval(interval);
    }
    SwapNativeGLWindow(s.current->window);
}

void SwapSharedGLContext(TGLProfile profile) {
    NativeState& s = Native();
    TGLContextRecord* shared = SharedContext(profile);
    if (!shared) return;
    if (CurrentNativeGLContext() != shared->glContext) {
        BindContext(shared);
    } else {
        BindContext(s.current);
    }
}

bool CurrentGLDrawableSize(int32_t& width, int32_t& height) {
    const TGLContextRecord* record = Native().current;
    if (!record) return false;
    int w = 0;
    int h = 0;
    NativeGLDrawableSize(record->window, w, h);
    width = w;
    height = h;
    return true;
}

bool CanCreateGLContext(TGLProfile profile) {
    // Only a question: the calling thread's last failure stays as it was.
    std::u16string earlier = LastFailure();
    const bool can = SharedContext(profile) != nullptr;
    SetLastFailure(std::move(earlier));
    return can;
}

void SetGLProfileRefused(TGLProfile profile, bool refused) {
    Native().refused[IndexOf(profile)] = refused;
}

void RefreshGLContextSize(TGLContextRecord* record) {
    if (!record || record->kind != TGLContextKind::Attached) return;
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(record->window, &width, &height);
    record->width = width;
    record->height = height;
}

int32_t LastPresentSwapInterval() {
    return Native().lastSwapInterval;
}

int32_t PresentSwapIntervalChanges() {
    return Native().swapIntervalChanges;
}

}  // namespace qrv
