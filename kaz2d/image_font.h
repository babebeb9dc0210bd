#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/object.h"
#include "kaz2d/image.h"
#include "pixmap/font.h"

namespace qrv {

// One glyph of an image font: its image (none for a blank glyph), its offset from the pen
// position and its size, and how far it moves the pen.
class TImageGlyph : public TObject {
public:
    // The glyph's image, or none for a blank glyph.
    virtual Ref<TImage> GlyphImage() const { return image; }
    // How far the glyph moves the pen, in pixels.
    virtual float AdvanceWidth() const { return advance; }
    // The image's offset from the pen position and its size, in pixels.
    virtual void PlacementRect(int32_t& x, int32_t& y, int32_t& width, int32_t& height) const;

    // The values the calls above give: image, advance, offset (x, y) and size.
    Ref<TImage> image;
    float advance = 0.0f;
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// A font drawn as a row of glyph images. It sits on a source font of the font loaders and
// turns each glyph into an image the first time the glyph is needed; the built-in 8 x 16 font
// has no source and makes its 96 glyph images at once.
class TImageFont : public TObject {
public:
    // Number of glyphs of the built-in font: the codes 32 to 127.
    static constexpr int32_t BUILT_IN_GLYPHS = 96;
    static constexpr int32_t BUILT_IN_WIDTH = 8;
    static constexpr int32_t BUILT_IN_HEIGHT = 16;

    // The source font's style flags; 0 for the built-in font.
    virtual int32_t StyleFlags() const;
    // Line height in pixels.
    virtual int32_t FontHeight() const;
    // The number of glyphs: the source font's, or 96 for the built-in font.
    virtual int32_t GlyphCount() const { return static_cast<int32_t>(glyphs.size()); }
    // The glyph index of a 16-bit code unit, or -1 when the font has no glyph for it.
    virtual int32_t GlyphIndexOf(int32_t character) const;
    // The glyph at the index, made on first use; none for an index out of range.
    virtual Ref<TImageGlyph> GlyphAt(int32_t index);
    // Draws the text with the pen starting at (x, y); the pen moves along the matrix's x axis
    // (ix, jx) by each glyph's advance. Characters without a glyph are skipped.
    virtual void DrawString(std::u16string_view text, float x, float y, float ix, float iy,
                            float jx, float jy);

    // An image font over the font the loaders open for the URL; none when no loader opens it,
    // with their reason in LastFailure (see FontFromLoaders). FONT_STYLE_PADDED in style makes
    // smooth glyphs: padded by the loader, and images made IMG_FILTERED | IMG_MIPMAPPED here
    // (draw them with BLEND_ALPHA).
    [[nodiscard]] static Ref<TImageFont> FromUrl(const Ref<TObject>& url, int32_t size,
                                                 int32_t style);
    [[nodiscard]] static Ref<TImageFont> FromUrl(std::u16string_view url, int32_t size,
                                                 int32_t style);
    // The 8 x 16 font of the embedded file "krastfont.bin", glyphs white on transparent;
    // none when that file is not registered or too short, with the reason in LastFailure.
    [[nodiscard]] static Ref<TImageFont> BuiltIn();

    // The font the glyphs come from (none for the built-in font), the glyphs made so far (none
    // where one is not made yet), and the IMG_ flags their images are made with.
    Ref<TFont> sourceFont;
    std::vector<Ref<TImageGlyph>> glyphs;
    int32_t imageFlags = 0;

private:
    Ref<TImageGlyph> MakeGlyph(int32_t index) const;
};

}  // namespace qrv
