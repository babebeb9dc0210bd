#include "game/window_icon.h"

#include <SDL.h>

#include <memory>

#include "pixmap/pixel_format.h"
#include "pixmap/pixmap_loader.h"
#include "pixmap/pixmap_transform.h"

namespace zorvak {

namespace {

// The face in the 512 x 512 portrait; tools/make-icons.py cuts the same square.
constexpr int FACE_LEFT = 108;
constexpr int FACE_TOP = 0;
constexpr int FACE_SIZE = 224;
constexpr int WINDOW_ICON_SIZE = 64;

struct SurfaceFree {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};

}  // namespace

qrv::Ref<qrv::TPixmap> MakeWindowIcon(int size) {
    const qrv::Ref<qrv::TPixmap> portrait = qrv::PixmapFromUrl(u"incbin::s0.png");
    if (!portrait) return nullptr;
    // Only the face is converted: the rest of the portrait is not needed.
    const qrv::Ref<qrv::TPixmap> face =
        qrv::SubRegion(portrait, FACE_LEFT, FACE_TOP, FACE_SIZE, FACE_SIZE);
    return qrv::ResampleBilinear(qrv::ConvertedTo(face, qrv::FormatRGBA8888), size, size);
}

void ShowWindowIcon() {
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    const qrv::Ref<qrv::TPixmap> icon = window ? MakeWindowIcon(WINDOW_ICON_SIZE) : nullptr;
    if (!icon) return;
    // SDL copies the pixels into the window system's icon; the surface only borrows them.
    std::unique_ptr<SDL_Surface, SurfaceFree> surface(SDL_CreateRGBSurfaceWithFormatFrom(
        icon->Pixels(), icon->Width(), icon->Height(), 32, icon->Pitch(), SDL_PIXELFORMAT_RGBA32));
    if (surface) SDL_SetWindowIcon(window, surface.get());
}

}  // namespace zorvak
