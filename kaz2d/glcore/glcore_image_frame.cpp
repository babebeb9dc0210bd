#include "kaz2d/glcore/glcore_image_frame.h"

#include <SDL_opengl.h>

#include <string>
#include <utility>

#include "core/error.h"
#include "kaz2d/gl/gl_frame_texture.h"
#include "kaz2d/gl/gl_helpers.h"
#include "kaz2d/glcore/glcore_kaz2d_driver.h"
#include "kaz2d/graphics_module.h"

namespace qrv {

namespace {
bool textureDeletionStopped = false;
}  // namespace

TGLCoreImageFrame::TGLCoreImageFrame(TGLCoreKaz2DDriver& driver, uint32_t texture, float s1,
                                     float t1, int32_t sequence, bool opaque)
    : driver(driver), texture(texture), s1(s1), t1(t1), sequence(sequence), opaque(opaque) {}

TGLCoreImageFrame::TGLCoreImageFrame(TGLCoreKaz2DDriver& driver, TGLAtlasPlace place)
    : driver(driver),
      texture(place.page->texture),
      s0(place.s0),
      t0(place.t0),
      s1(place.s1),
      t1(place.t1),
      sequence(contextGeneration),
      opaque(place.opaque),
      place(std::move(place)) {}

TGLCoreImageFrame::~TGLCoreImageFrame() {
    if (sequence == 0 || textureDeletionStopped) return;
    if (place.page) {
        driver.ReleaseAtlasCell(place);
    } else {
        driver.DeleteTexture(texture);
    }
}

void TGLCoreImageFrame::Draw(float x0, float y0, float x1, float y1, float tx, float ty) {
    driver.QueueTexturedQuad(texture, opaque, s0, t0, s1, t1, x0, y0, x1, y1, tx, ty);
}

Ref<TGLCoreImageFrame> TGLCoreImageFrame::CreateFromPixmap(TGLCoreKaz2DDriver& driver,
                                                           Ref<TPixmap> pixmap, int32_t flags,
                                                           TTextureRows rows) {
    if (pixmap && TGLAtlas::Takes(*pixmap, flags)) return driver.MakeAtlasFrame(pixmap, rows);
    const TFrameTexture made =
        MakeFrameTexture(std::move(pixmap), flags, FitTextureSizeToLimit, rows);
    if (made.name == 0) return nullptr;
    return std::make_shared<TGLCoreImageFrame>(driver, made.name, made.s1, made.t1,
                                               contextGeneration, made.opaque);
}

void FitTextureSizeToLimit(int32_t& width, int32_t& height) {
    GLint limit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
    if (limit < 1) throw TRuntimeError(std::string("Unable to calculate tex size"));
    width = NextPowerOfTwo(width);
    height = NextPowerOfTwo(height);
    while (width > limit) width /= 2;
    while (height > limit) height /= 2;
}

void StopGLCoreTextureDeletion() {
    textureDeletionStopped = true;
}

}  // namespace qrv
