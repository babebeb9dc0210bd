#include "pixmap/png_loader.h"

#include <png.h>

#include <algorithm>
#include <exception>
#include <limits>
#include <vector>

#include "pixmap/pixmap_loader.h"
#include "stream/stream_closer.h"

namespace qrv {

// libpng reports errors with longjmp. Every function below that calls setjmp holds only
// plain data, and the callbacks catch C++ exceptions before libpng sees them, so a jump never
// crosses a frame with a live C++ object.
namespace {

struct TPngReadContext {
    TStream* stream;
    std::exception_ptr failure;  // an exception from the stream, raised again after clean-up
};

struct TPngHeader {
    png_uint_32 width;
    png_uint_32 height;
    int bitDepth;
    int colorType;
    size_t rowBytes;
};

[[noreturn]] void OnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnPngWarning(png_structp, png_const_charp) {}

// Fills the buffer from the stream; false at the end of the data or on an exception.
bool ReadExactly(TPngReadContext& context, png_bytep data, size_t length) noexcept {
    try {
        while (length > 0) {
            auto chunk = static_cast<int32_t>(
                std::min<size_t>(length, std::numeric_limits<int32_t>::max()));
            int32_t got = context.stream->Read(data, chunk);
            if (got <= 0 || got > chunk) return false;
            data += got;
            length -= static_cast<size_t>(got);
        }
        return true;
    } catch (...) {
        context.failure = std::current_exception();
        return false;
    }
}

void ReadFromStream(png_structp png, png_bytep data, size_t length) {
    auto* context = static_cast<TPngReadContext*>(png_get_io_ptr(png));
    if (!ReadExactly(*context, data, length)) png_error(png, "read failed");
}

// Reads the chunks up to the image data and sets the transforms: 16-bit samples cut to 8,
// palettes, transparency chunks and small grey depths expanded.
bool ReadPngHeader(png_structp png, png_infop info, TPngHeader* header) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_sig_bytes(png, 8);
    png_read_info(png, info);
    png_set_strip_16(png);
    png_set_expand(png);
    // Grey with alpha (or grey with a transparent level) is widened by libpng itself into the
    // RGBA pixmap's rows, so no buffer of another layout is needed.
    const int sourceType = png_get_color_type(png, info);
    if (sourceType == PNG_COLOR_TYPE_GRAY_ALPHA ||
        (sourceType == PNG_COLOR_TYPE_GRAY && png_get_valid(png, info, PNG_INFO_tRNS)))
        png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    png_get_IHDR(png, info, &header->width, &header->height, &header->bitDepth,
                 &header->colorType, nullptr, nullptr, nullptr);
    header->rowBytes = png_get_rowbytes(png, info);
    return true;
}

bool ReadPngImage(png_structp png, png_infop info, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    png_read_end(png, info);
    return true;
}

int32_t PixmapFormatFor(int colorType) {
    switch (colorType) {
    case PNG_COLOR_TYPE_GRAY: return FormatGrey8;
    case PNG_COLOR_TYPE_RGB: return FormatRGB888;
    case PNG_COLOR_TYPE_RGB_ALPHA: return FormatRGBA8888;
    default: return FormatNone;
    }
}

Ref<TPixmap> DecodeImage(png_structp png, png_infop info, const TPngHeader& header) {
    const int32_t format = PixmapFormatFor(header.colorType);
    if (header.bitDepth != 8 || format == FormatNone) return nullptr;
    if (!PictureFitsMemoryLimit(header.width, header.height)) return nullptr;
    const auto width = static_cast<int32_t>(header.width);
    const auto height = static_cast<int32_t>(header.height);
    if (header.rowBytes != static_cast<size_t>(width) * BytesPerPixel(format)) return nullptr;

    Ref<TPixmap> pixmap = NewPixmap(width, height, format, 4);
    if (!pixmap) return nullptr;
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int32_t y = 0; y < height; ++y) rows[y] = pixmap->PixelAddress(0, y);
    if (!ReadPngImage(png, info, rows.data())) return nullptr;
    return pixmap;
}

// The read and info structures, destroyed together however the load ends.
class TPngReader {
public:
    explicit TPngReader(TPngReadContext& context)
        : png(png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning)),
          info(png ? png_create_info_struct(png) : nullptr) {
        if (png) png_set_read_fn(png, &context, ReadFromStream);
    }
    ~TPngReader() { png_destroy_read_struct(png ? &png : nullptr, info ? &info : nullptr, nullptr); }
    TPngReader(const TPngReader&) = delete;
    TPngReader& operator=(const TPngReader&) = delete;

    Ref<TPixmap> Decode() {
        if (!png || !info) return nullptr;
        TPngHeader header{};
        if (!ReadPngHeader(png, info, &header)) return nullptr;
        return DecodeImage(png, info, header);
    }

private:
    png_structp png;
    png_infop info;
};

}  // namespace

Ref<TPixmap> DecodePNG(const Ref<TObject>& url) {
    Ref<TStream> stream = OpenReadStream(url);
    if (!stream) return nullptr;
    TStreamCloser closer(stream);
    png_byte signature[8] = {};
    stream->ReadFully(signature, sizeof signature);
    if (png_sig_cmp(signature, 0, sizeof signature) != 0) return nullptr;

    TPngReadContext context{stream.get(), nullptr};
    Ref<TPixmap> pixmap = TPngReader(context).Decode();
    if (context.failure) std::rethrow_exception(context.failure);
    return pixmap;
}

Ref<TPixmap> DecodePNG(std::u16string_view url) { return DecodePNG(MakeText(std::u16string(url))); }

Ref<TPixmap> TPixmapLoaderPNG::LoadFromStream(const Ref<TStream>& stream) {
    return DecodePNG(stream);
}

}  // namespace qrv
