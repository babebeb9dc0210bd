#include "pixmap/font.h"

#include <string>

#include "core/error.h"
#include "core/failure.h"
#include "stream/url_failure.h"

namespace qrv {

namespace {

Ref<TFontLoader> firstLoader;

[[noreturn]] void RaiseAbstractCall() { throw TRuntimeError("Attempt to call abstract method"); }

}  // namespace

Ref<TPixmap> TGlyph::GlyphPixmap() const { RaiseAbstractCall(); }
float TGlyph::AdvanceWidth() const { RaiseAbstractCall(); }
void TGlyph::PlacementRect(int32_t&, int32_t&, int32_t&, int32_t&) const { RaiseAbstractCall(); }

int32_t TFont::StyleFlags() const { RaiseAbstractCall(); }
int32_t TFont::FontHeight() const { RaiseAbstractCall(); }
int32_t TFont::GlyphCount() const { RaiseAbstractCall(); }
int32_t TFont::GlyphIndexOf(int32_t) const { RaiseAbstractCall(); }
Ref<TGlyph> TFont::GlyphAt(int32_t) { RaiseAbstractCall(); }

Ref<TFont> TFontLoader::TryLoadFont(const Ref<TObject>&, int32_t, int32_t) {
    RaiseAbstractCall();
}

// A separate flag rather than "next is set" marks a linked loader: the oldest loader has no
// next, and linking it a second time would close the list into a ring.
void RegisterFontLoader(const Ref<TFontLoader>& loader) {
    if (!loader || loader->linked) return;
    loader->next = firstLoader;
    loader->linked = true;
    firstLoader = loader;
}

Ref<TFontLoader> FirstFontLoader() { return firstLoader; }

Ref<TFont> FontFromLoaders(const Ref<TObject>& url, int32_t size, int32_t style) {
    if (!firstLoader) {
        SetUrlFailure(url, NOT_INITIALISED_CAUSE);
        return nullptr;
    }
    // A loader that gives none may say why; a success leaves the earlier reason as it was.
    std::u16string earlier = LastFailure();
    ClearLastFailure();
    for (Ref<TFontLoader> loader = firstLoader; loader; loader = loader->Next()) {
        if (Ref<TFont> font = loader->TryLoadFont(url, size, style)) {
            SetLastFailure(std::move(earlier));
            return font;
        }
    }
    if (LastFailure().empty()) SetUrlFailure(url, "no font loader opens it");
    return nullptr;
}

Ref<TFont> FontFromLoaders(std::u16string_view url, int32_t size, int32_t style) {
    return FontFromLoaders(MakeText(std::u16string(url)), size, style);
}

}  // namespace qrv
