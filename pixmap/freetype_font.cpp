#include "pixmap/freetype_font.h"

#include <algorithm>
#include <string>

#include "core/error.h"
#include "core/failure.h"
#include "core/text.h"
#include "pixmap/freetype_bitmap.h"
#include "pixmap/pixmap_module.h"
#include "stream/native_path.h"
#include "stream/stream_closer.h"
#include "stream/stream_exceptions.h"
#include "stream/stream_utils.h"
#include "stream/url_failure.h"

namespace qrv {

namespace {

// FreeType's messages, from the table its error header builds when asked to.
struct TFreeTypeMessage {
    int code;
    const char* message;
};
#undef FTERRORS_H_
#undef __FTERRORS_H__
#define FT_ERRORDEF(e, v, s) {e, s},
#define FT_ERROR_START_LIST {
#define FT_ERROR_END_LIST {0, nullptr}};
const TFreeTypeMessage freeTypeMessages[] =
#include FT_ERRORS_H

// The cause for a FreeType error: "FreeType: unknown file format".
std::string FreeTypeCause(FT_Error error) {
    for (const TFreeTypeMessage& entry : freeTypeMessages) {
        if (entry.message && entry.code == error) return std::string("FreeType: ") + entry.message;
    }
    return "FreeType error " + std::to_string(error);
}

void SetFontFailure(std::u16string_view url, std::string_view cause) {
    SetUrlFailure(MakeText(std::u16string(url)), cause);
}

// FreeType takes pixel sizes up to 0xFFFF; starting the downward search there keeps a huge
// request from trying billions of sizes.
constexpr int32_t LARGEST_PIXEL_SIZE = 0xFFFF;

// A face that FreeType opens by the file's name, or nothing where it cannot: on Windows it
// would take the name in the ANSI code page, so there every font is read into memory.
#ifdef _WIN32
constexpr bool FILE_FACES = false;
FT_Error OpenFileFace(std::u16string_view, FT_Face*) {
    return FT_Err_Cannot_Open_Resource;
}
#else
constexpr bool FILE_FACES = true;
FT_Error OpenFileFace(std::u16string_view url, FT_Face* opened) {
    const std::optional<std::string> path = NativePath(url);
    if (!path || path->empty()) return FT_Err_Cannot_Open_Resource;
    return FT_New_Face(FreeTypeLibrary(), path->c_str(), 0, opened);
}
#endif

// Fonts behind a protocol ("incbin::", "http::") are read whole into memory.
bool ReadsIntoMemory(std::u16string_view url) {
    const size_t colons = url.find(u"::");
    return !FILE_FACES || (colons != std::u16string_view::npos && colons > 0);
}

// The whole content of the URL; empty, with the reason in LastFailure, when it does not open,
// fails part way or holds nothing.
std::vector<uint8_t> ReadFontBytes(std::u16string_view url) {
    const Ref<TStream> stream = OpenReadStream(url);
    if (!stream) return {};
    TStreamCloser closer(stream);
    std::vector<uint8_t> bytes;
    try {
        bytes = LoadBytes(*stream);
    } catch (const TRuntimeError& e) {
        SetFontFailure(url, e.what());
        return {};
    } catch (const TStreamException& e) {
        SetFontFailure(url, e.what());
        return {};
    }
    if (bytes.empty()) SetFontFailure(url, "an empty file is no font");
    return bytes;
}

// A bitmap face takes only the sizes of its strikes, so no size above the largest can succeed.
int32_t LargestUsefulSize(FT_Face face, int32_t requested) {
    int32_t largest = std::min(requested, LARGEST_PIXEL_SIZE);
    if (FT_IS_SCALABLE(face)) return largest;
    int32_t largestStrike = 0;
    for (FT_Int i = 0; i < face->num_fixed_sizes; ++i) {
        const FT_Bitmap_Size& strike = face->available_sizes[i];
        const auto ppem = static_cast<int32_t>((strike.y_ppem + 32) >> 6);
        largestStrike = std::max({largestStrike, ppem, static_cast<int32_t>(strike.height)});
    }
    return std::min(largest, largestStrike);
}

}  // namespace

void TFreeTypeGlyph::PlacementRect(int32_t& outX, int32_t& outY, int32_t& outWidth,
                                   int32_t& outHeight) const {
    outX = x;
    outY = y;
    outWidth = width;
    outHeight = height;
}

void TFreeTypeFont::TFaceCloser::operator()(FT_FaceRec_* face) const { FT_Done_Face(face); }

TFreeTypeFont::TFreeTypeFont(std::vector<uint8_t> fontMemory)
    : fontMemory(std::move(fontMemory)) {}

TFreeTypeFont::~TFreeTypeFont() = default;

Ref<TFreeTypeFont> TFreeTypeFont::Open(std::u16string_view url, int32_t size, int32_t style) {
    if (!FreeTypeLibrary()) {
        SetFontFailure(url, "FreeType could not start");
        return nullptr;
    }
    std::vector<uint8_t> bytes;
    if (ReadsIntoMemory(url)) {
        bytes = ReadFontBytes(url);
        if (bytes.empty()) return nullptr;
    }
    Ref<TFreeTypeFont> font(new TFreeTypeFont(std::move(bytes)));
    if (!font->OpenFace(url)) return nullptr;
    if (!font->SetPixelSize(size)) {
        SetFontFailure(url, "the font has no pixel size of " + std::to_string(size) + " or less");
        return nullptr;
    }

    font->style = style;
    const FT_Size_Metrics& metrics = font->face->size->metrics;
    font->height = static_cast<int32_t>(metrics.height >> 6);
    font->ascend = static_cast<int32_t>(metrics.ascender >> 6);
    font->descend = static_cast<int32_t>(metrics.descender >> 6);
    font->glyphs.resize(static_cast<size_t>(std::max<FT_Long>(font->face->num_glyphs, 0)));
    return font;
}

bool TFreeTypeFont::OpenFace(std::u16string_view url) {
    FT_Face opened = nullptr;
    FT_Error error;
    if (!fontMemory.empty()) {
        error = FT_New_Memory_Face(FreeTypeLibrary(), fontMemory.data(),
                                   static_cast<FT_Long>(fontMemory.size()), 0, &opened);
    } else {
        error = OpenFileFace(url, &opened);
    }
    if (error == FT_Err_Cannot_Open_Resource && fontMemory.empty()) {
        // FreeType opened the file itself: opening it as a stream tells why it did not (no
        // such file, permission denied), and that reason then stands.
        const Ref<TStream> stream = OpenReadStream(url);
        if (!stream) return false;
        stream->Close();
    }
    if (error != 0) {
        SetFontFailure(url, FreeTypeCause(error));
        return false;
    }
    face.reset(opened);
    return true;
}

bool TFreeTypeFont::SetPixelSize(int32_t size) {
    for (size = LargestUsefulSize(face.get(), size); size > 0; --size) {
        if (FT_Set_Pixel_Sizes(face.get(), 0, static_cast<FT_UInt>(size)) == 0) {
            pixelSize = size;
            return true;
        }
    }
    return false;
}

int32_t TFreeTypeFont::GlyphIndexOf(int32_t character) const {
    if (character < 0) return -1;
    return static_cast<int32_t>(FT_Get_Char_Index(face.get(), static_cast<FT_ULong>(character))) -
           1;
}

Ref<TGlyph> TFreeTypeFont::GlyphAt(int32_t index) {
    if (index < 0 || index >= GlyphCount()) return nullptr;
    Ref<TFreeTypeGlyph>& slot = glyphs[static_cast<size_t>(index)];
    if (!slot) {
        // Cached before rendering, so a glyph that fails stays empty and is not tried again.
        slot = std::make_shared<TFreeTypeGlyph>();
        RenderGlyph(index, *slot);
    }
    return slot;
}

void TFreeTypeFont::RenderGlyph(int32_t index, TFreeTypeGlyph& glyph) {
    if (FT_Load_Glyph(face.get(), static_cast<FT_UInt>(index + 1), FT_LOAD_RENDER) != 0) return;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    Ref<TPixmap> pixmap;
    if (bitmap.width > 0 && bitmap.rows > 0) {
        pixmap = PixmapFromGlyphBitmap(bitmap);
        if (!pixmap) return;  // a pixel mode this loader does not read: an empty glyph
    }
    glyph.advance = static_cast<float>(slot->advance.x >> 6);
    glyph.x = slot->bitmap_left;
    glyph.y = ascend - slot->bitmap_top;
    glyph.width = static_cast<int32_t>(bitmap.width);
    glyph.height = static_cast<int32_t>(bitmap.rows);
    if (!pixmap) return;  // a blank glyph such as a space: an advance and no pixmap

    if (style & FONT_STYLE_PADDED) {
        pixmap = PaddedGlyphPixmap(*pixmap);
        glyph.x -= 1;
        glyph.y -= 1;
        glyph.width += 2;
        glyph.height += 2;
    }
    glyph.pixmap = std::move(pixmap);
}

Ref<TFont> TFreeTypeFontLoader::TryLoadFont(const Ref<TObject>& url, int32_t size,
                                            int32_t style) {
    const std::u16string* text = AsText(url);
    if (!text || text->empty()) return nullptr;
    return OpenFreeTypeFont(*text, size, style);
}

void InitFreeTypeModule() {
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitPixmapModule();
    RegisterFontLoader(std::make_shared<TFreeTypeFontLoader>());
}

}  // namespace qrv
