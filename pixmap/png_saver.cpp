#include <png.h>

#include <algorithm>
#include <exception>

#include "pixmap/pixmap_save.h"
#include "pixmap/save_outcome.h"
#include "stream/stream_closer.h"
#include "stream/stream_exceptions.h"

namespace qrv {

// As in the loader: the functions that call setjmp hold only plain data, and the callbacks
// catch C++ exceptions before libpng sees them.
namespace {

struct TPngWriteContext {
    TStream* stream;
    std::exception_ptr failure;
};

[[noreturn]] void OnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnPngWarning(png_structp, png_const_charp) {}

bool WriteAll(TPngWriteContext& context, png_bytep data, size_t length) noexcept {
    try {
        while (length > 0) {
            auto chunk = static_cast<int32_t>(std::min<size_t>(length, 1 << 30));
            context.stream->WriteFully(data, chunk);
            data += chunk;
            length -= static_cast<size_t>(chunk);
        }
        return true;
    } catch (...) {
        context.failure = std::current_exception();
        return false;
    }
}

void WriteToStream(png_structp png, png_bytep data, size_t length) {
    auto* context = static_cast<TPngWriteContext*>(png_get_io_ptr(png));
    if (!WriteAll(*context, data, length)) png_error(png, "write failed");
}

void FlushNothing(png_structp) {}

int ColorTypeFor(int32_t format) {
    switch (format) {
    case FormatGrey8: return PNG_COLOR_TYPE_GRAY;
    case FormatRGB888: return PNG_COLOR_TYPE_RGB;
    default: return PNG_COLOR_TYPE_RGB_ALPHA;
    }
}

// The pixmap itself when PNG stores its layout, else a converted copy.
Ref<TPixmap> InStorableFormat(const Ref<TPixmap>& pixmap) {
    switch (pixmap->Format()) {
    case FormatGrey8:
    case FormatRGB888:
    case FormatRGBA8888: return pixmap;
    default:
        return pixmap->ConvertedTo(AlphaBits(pixmap->Format()) ? FormatRGBA8888 : FormatRGB888);
    }
}

bool WritePng(png_structp png, png_infop info, const TPixmap* pixmap, int level) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_IHDR(png, info, static_cast<png_uint_32>(pixmap->Width()),
                 static_cast<png_uint_32>(pixmap->Height()), 8, ColorTypeFor(pixmap->Format()),
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, level);
    png_write_info(png, info);
    for (int32_t y = 0; y < pixmap->Height(); ++y) png_write_row(png, pixmap->PixelAddress(0, y));
    png_write_end(png, info);
    return true;
}

bool EncodePng(const TPixmap& pixmap, TPngWriteContext& context, int level) {
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool written = false;
    if (png && info) {
        png_set_write_fn(png, &context, WriteToStream, FlushNothing);
        written = WritePng(png, info, &pixmap, level);
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    return written;
}

}  // namespace

bool SavePixmapPNG(const Ref<TPixmap>& pixmap, const Ref<TObject>& url, int32_t compression) {
    if (!pixmap || pixmap->Width() < 1 || pixmap->Height() < 1) return false;
    if (compression < 0 || compression > 9) return false;
    Ref<TPixmap> storable = InStorableFormat(pixmap);
    if (!storable) return false;
    Ref<TStream> stream = OpenWriteStream(url);
    if (!stream) return false;
    TStreamCloser closer(stream);
    TPngWriteContext context{stream.get(), nullptr};
    const bool written = EncodePng(*storable, context, compression);
    return SaveOutcome(written, context.failure, closer);
}

bool SavePixmapPNG(const Ref<TPixmap>& pixmap, std::u16string_view url, int32_t compression) {
    return SavePixmapPNG(pixmap, MakeText(std::u16string(url)), compression);
}

}  // namespace qrv
