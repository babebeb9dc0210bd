#include "kaz2d/gl/gl_frame_texture.h"

#include <SDL_opengl.h>

#include <algorithm>

#include "kaz2d/image.h"
#include "pixmap/pixmap_transform.h"

namespace qrv {

namespace {

// The pixmap at w x h inside a tw x th RGBA pixmap, its last column and row copied once
// beyond its edge so that filtering does not pull in undefined texels.
Ref<TPixmap> PaddedPixmap(const Ref<TPixmap>& pixmap, int32_t tw, int32_t th) {
    const int32_t w = pixmap->Width();
    const int32_t h = pixmap->Height();
    Ref<TPixmap> padded = NewPixmap(tw, th, FormatRGBA8888, 4);
    if (!padded) return nullptr;
    padded->PasteFrom(*pixmap, 0, 0);
    if (w < tw) padded->PasteFrom(*pixmap->SubRegion(w - 1, 0, 1, h), w, 0);
    if (h < th) {
        padded->PasteFrom(*pixmap->SubRegion(0, h - 1, w, 1), 0, h);
        if (w < tw) padded->PasteFrom(*pixmap->SubRegion(w - 1, h - 1, 1, 1), w, h);
    }
    return padded;
}

void SetTextureFilters(int32_t flags) {
    const bool mipmapped = (flags & IMG_MIPMAPPED) != 0;
    GLint mag = GL_NEAREST;
    GLint min = mipmapped ? GL_NEAREST_MIPMAP_NEAREST : GL_NEAREST;
    if (flags & IMG_FILTERED) {
        mag = GL_LINEAR;
        min = mipmapped ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR;
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, mag);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, min);
}

// Storage for level 0 at tw x th and, when mipmapped, every level down to 1 x 1.
void AllocateLevels(int32_t tw, int32_t th, bool mipmapped, TTextureRows rows) {
    const GLint internalFormat = rows == TTextureRows::Tight ? GL_RGBA : GL_RGBA8;
    for (GLint level = 0;; ++level) {
        glTexImage2D(GL_TEXTURE_2D, level, internalFormat, tw, th, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     nullptr);
        if (!mipmapped || (tw == 1 && th == 1)) return;
        tw = std::max(tw / 2, 1);
        th = std::max(th / 2, 1);
    }
}

void UploadLevels(Ref<TPixmap> pixmap, bool mipmapped, TTextureRows rows) {
    const bool tight = rows == TTextureRows::Tight;
    for (GLint level = 0; pixmap; ++level) {
        if (!tight) {
            glPixelStorei(GL_UNPACK_ROW_LENGTH, pixmap->Pitch() / BytesPerPixel(pixmap->Format()));
        } else if (pixmap->Pitch() != pixmap->Width() * 4) {
            pixmap = pixmap->ConvertedTo(FormatRGBA8888);  // a tightly packed copy
            if (!pixmap) break;
        }
        glTexSubImage2D(GL_TEXTURE_2D, level, 0, 0, pixmap->Width(), pixmap->Height(), GL_RGBA,
                        GL_UNSIGNED_BYTE, pixmap->Pixels());
        if (!mipmapped || (pixmap->Width() == 1 && pixmap->Height() == 1)) break;
        pixmap = ResampleBilinear(pixmap, std::max(pixmap->Width() / 2, 1),
                                  std::max(pixmap->Height() / 2, 1));
    }
    if (!tight) glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
}

}  // namespace

uint32_t NewClampedTexture(int32_t flags) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    SetTextureFilters(flags);
    return name;
}

bool EveryPixelOpaque(const TPixmap& rgba, int32_t w, int32_t h) {
    uint8_t all = 0xFF;
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* row = rgba.Pixels() + static_cast<size_t>(y) * static_cast<size_t>(rgba.Pitch());
        for (int32_t x = 0; x < w; ++x) all &= row[static_cast<size_t>(x) * 4 + 3];
    }
    return all == 0xFF;
}

TFrameTexture MakeFrameTexture(Ref<TPixmap> pixmap, int32_t flags, TTextureSizeFit fit,
                               TTextureRows rows) {
    if (!pixmap || pixmap->Width() <= 0 || pixmap->Height() <= 0) return {};
    int32_t tw = pixmap->Width();
    int32_t th = pixmap->Height();
    fit(tw, th);
    const int32_t w = std::min(pixmap->Width(), tw);
    const int32_t h = std::min(pixmap->Height(), th);
    if (w != pixmap->Width() || h != pixmap->Height()) pixmap = ResampleBilinear(pixmap, w, h);
    if (pixmap && (w < tw || h < th)) {
        pixmap = PaddedPixmap(pixmap, tw, th);
    } else if (pixmap && pixmap->Format() != FormatRGBA8888) {
        pixmap = pixmap->ConvertedTo(FormatRGBA8888);
    }
    if (!pixmap) return {};

    const bool mipmapped = (flags & IMG_MIPMAPPED) != 0;
    const uint32_t name = NewClampedTexture(flags);
    AllocateLevels(tw, th, mipmapped, rows);
    UploadLevels(pixmap, mipmapped, rows);
    // Filtering reaches at most the one repeated column and row of the padding. Mipmap levels
    // are resampled (taking in the empty rest of the padding), so only level 0 is vouched for.
    const bool opaque = !mipmapped && EveryPixelOpaque(*pixmap, w, h);
    return {name, static_cast<float>(w) / static_cast<float>(tw),
            static_cast<float>(h) / static_cast<float>(th), opaque};
}

}  // namespace qrv
