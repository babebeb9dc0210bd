#include "kaz2d/gl/gl_frame_base.h"

#include <cstdlib>

namespace qrv {

namespace {

bool textureDeletionStopped = false;

void StopTextureDeletion() {
    textureDeletionStopped = true;
}

}  // namespace

TGLFrameBase::TGLFrameBase(uint32_t texture, float s1, float t1, int32_t sequence, bool opaque)
    : texture(texture), s1(s1), t1(t1), sequence(sequence), opaque(opaque) {}

TGLFrameBase::TGLFrameBase(TGLAtlasPlace place)
    : texture(place.page->texture),
      s0(place.s0),
      t0(place.t0),
      s1(place.s1),
      t1(place.t1),
      sequence(contextGeneration),
      opaque(place.opaque),
      place(std::move(place)) {}

void TGLFrameBase::StopTextureDeletionAtExit() {
    static const bool registered = std::atexit(StopTextureDeletion) == 0;
    (void)registered;
}

bool TGLFrameBase::HoldsTexture() const {
    return sequence != 0 && !textureDeletionStopped;
}

}  // namespace qrv
