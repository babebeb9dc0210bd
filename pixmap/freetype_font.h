#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "pixmap/font.h"

struct FT_FaceRec_;

namespace qrv {

// A glyph rendered by FreeType into an FormatAlpha8 pixmap (none for a blank or failed glyph).
class TFreeTypeGlyph final : public TGlyph {
public:
    Ref<TPixmap> GlyphPixmap() const override { return pixmap; }
    float AdvanceWidth() const override { return advance; }
    void PlacementRect(int32_t& x, int32_t& y, int32_t& width, int32_t& height) const override;

    // The rendered glyph, or none for a blank or failed one.
    Ref<TPixmap> pixmap;
    float advance = 0.0f;  // whole pixels
    int32_t x = 0;         // offset of the pixmap from the pen position; y from the line top
    int32_t y = 0;
    // The pixmap's size in pixels.
    int32_t width = 0;
    int32_t height = 0;
};

// An outline or bitmap font opened with FreeType at one pixel height. Glyphs are rendered on
// their first request and cached for the font's life; a glyph that fails to render is cached
// as an empty glyph and not retried.
class TFreeTypeFont final : public TFont {
public:
    ~TFreeTypeFont() override;
    TFreeTypeFont(const TFreeTypeFont&) = delete;
    TFreeTypeFont& operator=(const TFreeTypeFont&) = delete;

    // A URL with "::" after its first character ("incbin::b2.ttf") is read whole into memory
    // that the font keeps for the face's life; anything else is opened as a file path. A face
    // without the requested size (a bitmap face) opens at the largest size below it. None when
    // the data does not open, FreeType cannot read it, or no pixel size fits; LastFailure then
    // names the URL and says which (the stream's reason, or FreeType's message).
    [[nodiscard]] static Ref<TFreeTypeFont> Open(std::u16string_view url, int32_t size,
                                                 int32_t style);

    int32_t StyleFlags() const override { return style; }
    int32_t FontHeight() const override { return height; }
    int32_t GlyphCount() const override { return static_cast<int32_t>(glyphs.size()); }
    // FreeType's glyph index minus one, so a character the face lacks gives -1.
    int32_t GlyphIndexOf(int32_t character) const override;
    Ref<TGlyph> GlyphAt(int32_t index) override;

    // Ascender and Descender: above and below the baseline in whole pixels; the descent is
    // negative below it.
    int32_t Ascender() const { return ascend; }
    int32_t Descender() const { return descend; }
    // The pixel height the face was set to: the request, or less for a bitmap face.
    int32_t PixelSize() const { return pixelSize; }
    // True when the face reads from memory the font owns.
    bool IsMemoryFace() const { return !fontMemory.empty(); }

private:
    struct TFaceCloser {
        void operator()(FT_FaceRec_* face) const;
    };

    explicit TFreeTypeFont(std::vector<uint8_t> fontMemory);
    [[nodiscard]] bool OpenFace(std::u16string_view url);
    [[nodiscard]] bool SetPixelSize(int32_t size);
    void RenderGlyph(int32_t index, TFreeTypeGlyph& glyph);

    // Declared before the face, so that the face is done before the bytes it reads go.
    std::vector<uint8_t> fontMemory;
    std::unique_ptr<FT_FaceRec_, TFaceCloser> face;
    int32_t style = 0;
    int32_t pixelSize = 0;
    int32_t height = 0;
    int32_t ascend = 0;
    int32_t descend = 0;
    std::vector<Ref<TFreeTypeGlyph>> glyphs;
};

// The same as TFreeTypeFont::Open.
[[nodiscard]] inline Ref<TFreeTypeFont> OpenFreeTypeFont(std::u16string_view url, int32_t size,
                                                         int32_t style) {
    return TFreeTypeFont::Open(url, size, style);
}

// The font loader for FreeType. It takes a URL given as text; any other object, and the empty
// text, give none.
class TFreeTypeFontLoader final : public TFontLoader {
public:
    [[nodiscard]] Ref<TFont> TryLoadFont(const Ref<TObject>& url, int32_t size,
                                         int32_t style) override;
};

// Initialises the pixmap and stream modules, then registers one FreeType font loader. Runs
// once; later calls do nothing.
void InitFreeTypeModule();

}  // namespace qrv
