#pragma once

#include <cstdint>
#include <string_view>

#include "core/object.h"
#include "pixmap/pixmap.h"

namespace qrv {

// One glyph of a font: a small pixmap (none for a blank glyph such as a space), its placement
// relative to the pen position and the horizontal advance. Every operation of this base type
// raises "Attempt to call abstract method".
class TGlyph : public TObject {
public:
    // The glyph's pixels, or none for a blank glyph.
    virtual Ref<TPixmap> GlyphPixmap() const;
    // Horizontal advance in pixels.
    virtual float AdvanceWidth() const;
    // The pixmap's offset from the pen position and its size.
    virtual void PlacementRect(int32_t& x, int32_t& y, int32_t& width, int32_t& height) const;
};

// A numbered set of glyphs at one size. Every operation of this base type raises "Attempt to
// call abstract method".
class TFont : public TObject {
public:
    // The style flags the font was opened with, as they were given.
    virtual int32_t StyleFlags() const;
    // Line height in whole pixels.
    virtual int32_t FontHeight() const;
    // The number of glyphs; indices run from 0 to one less.
    virtual int32_t GlyphCount() const;
    // The index (from 0) of the character's glyph, or -1 when the font has none.
    virtual int32_t GlyphIndexOf(int32_t character) const;
    // The glyph at an index; none for an index outside 0 .. GlyphCount() - 1.
    virtual Ref<TGlyph> GlyphAt(int32_t index);
};

// Style flag asking for glyph pixmaps with a one-pixel transparent border, for filtered drawing.
// It is the only style flag: other bits are kept (StyleFlags gives them back) but change nothing.
inline constexpr int32_t FONT_STYLE_PADDED = 4;

// A font format in the process-wide font-loader list.
class TFontLoader : public TObject {
public:
    // A font for the URL at a pixel height, or none when this loader cannot open it. The base
    // type raises "Attempt to call abstract method".
    [[nodiscard]] virtual Ref<TFont> TryLoadFont(const Ref<TObject>& url, int32_t size,
                                                 int32_t style);

    // The loader registered before this one; none for the oldest.
    const Ref<TFontLoader>& Next() const { return next; }

private:
    friend void RegisterFontLoader(const Ref<TFontLoader>& loader);
    Ref<TFontLoader> next;
    bool linked = false;
};

// Links the loader at the head of the list; a loader already in the list stays where it is.
void RegisterFontLoader(const Ref<TFontLoader>& loader);

// The newest registered loader, or none.
Ref<TFontLoader> FirstFontLoader();

// Asks each loader, newest first; the first font given, or none with the reason in
// LastFailure: the last loader's own, "no font loader opens it", or that the framework is not
// initialised while no loader is registered.
[[nodiscard]] Ref<TFont> FontFromLoaders(const Ref<TObject>& url, int32_t size, int32_t style);
[[nodiscard]] Ref<TFont> FontFromLoaders(std::u16string_view url, int32_t size, int32_t style);

}  // namespace qrv
