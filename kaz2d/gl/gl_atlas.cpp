#include "kaz2d/gl/gl_atlas.h"

#include <SDL_opengl.h>

#include <algorithm>

#include "kaz2d/image.h"

namespace qrv {

namespace {

constexpr int32_t kBorder = 1;

// The pixmap as RGBA with its edge rows and columns repeated once on every side.
Ref<TPixmap> FramedPixmap(const Ref<TPixmap>& pixmap) {
    const int32_t w = pixmap->Width();
    const int32_t h = pixmap->Height();
    Ref<TPixmap> framed = NewPixmap(w + 2 * kBorder, h + 2 * kBorder, FormatRGBA8888, 4);
    if (!framed) return nullptr;
    framed->PasteFrom(*pixmap, kBorder, kBorder);
    framed->PasteFrom(*framed->SubRegion(kBorder, kBorder, w, 1), kBorder, 0);
    framed->PasteFrom(*framed->SubRegion(kBorder, h, w, 1), kBorder, h + kBorder);
    framed->PasteFrom(*framed->SubRegion(kBorder, 0, 1, h + 2 * kBorder), 0, 0);
    framed->PasteFrom(*framed->SubRegion(w, 0, 1, h + 2 * kBorder), w + kBorder, 0);
    return framed;
}

uint32_t NewPageTexture(TTextureRows rows) {
    GLint limit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
    if (limit < TGLAtlas::PAGE_SIDE) return 0;
    const uint32_t name = NewClampedTexture(0);
    if (name == 0) return 0;
    const GLint internalFormat = rows == TTextureRows::Tight ? GL_RGBA : GL_RGBA8;
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, TGLAtlas::PAGE_SIDE,
                 TGLAtlas::PAGE_SIDE, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    return name;
}

float PageCoordinate(int32_t texel) {
    return static_cast<float>(texel) / static_cast<float>(TGLAtlas::PAGE_SIDE);
}

}  // namespace

bool TGLAtlas::Takes(const TPixmap& pixmap, int32_t flags) {
    return (flags & (IMG_FILTERED | IMG_MIPMAPPED)) == 0 && pixmap.Width() > 0 &&
           pixmap.Height() > 0 && pixmap.Width() <= LARGEST_FRAME_SIDE &&
           pixmap.Height() <= LARGEST_FRAME_SIDE;
}

TGLAtlasPlace TGLAtlas::Reserve(const TPixmap& pixmap, TTextureRows rows) {
    const int32_t w = pixmap.Width() + 2 * kBorder;
    const int32_t h = pixmap.Height() + 2 * kBorder;
    TGLAtlasPlace place;
    for (const Ref<TGLAtlasPage>& page : pages) {
        if (const std::optional<TAtlasCell> cell = page->packing.Take(w, h)) {
            place.page = page;
            place.cell = *cell;
            break;
        }
    }
    if (!place.page) {
        const uint32_t texture = NewPageTexture(rows);
        if (texture == 0) return {};
        auto page = std::make_shared<TGLAtlasPage>(TGLAtlasPage{texture, TAtlasPacking(PAGE_SIDE)});
        place.page = page;
        place.cell = page->packing.Take(w, h).value();
        pages.push_back(std::move(page));
    }
    place.s0 = PageCoordinate(place.cell.x + kBorder);
    place.t0 = PageCoordinate(place.cell.y + kBorder);
    place.s1 = PageCoordinate(place.cell.x + kBorder + pixmap.Width());
    place.t1 = PageCoordinate(place.cell.y + kBorder + pixmap.Height());
    return place;
}

bool TGLAtlas::Fill(TGLAtlasPlace& place, const Ref<TPixmap>& pixmap) {
    const Ref<TPixmap> framed = FramedPixmap(pixmap);
    glBindTexture(GL_TEXTURE_2D, place.page->texture);
    if (!framed) return false;
    // Rows of the framed pixmap are packed tightly: every profile takes them as they are.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexSubImage2D(GL_TEXTURE_2D, 0, place.cell.x, place.cell.y, framed->Width(),
                    framed->Height(), GL_RGBA, GL_UNSIGNED_BYTE, framed->Pixels());
    place.opaque = EveryPixelOpaque(*framed, framed->Width(), framed->Height());
    return true;
}

uint32_t TGLAtlas::Release(const TGLAtlasPlace& place) {
    place.page->packing.GiveBack(place.cell);
    if (!place.page->packing.Empty()) return 0;
    std::erase(pages, place.page);
    return place.page->texture;
}

}  // namespace qrv
