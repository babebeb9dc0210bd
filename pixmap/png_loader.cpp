#include "pixmap/png_loader.h"

#include <png.h>

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#include <exception>
#include <limits>
#include <vector>

#include "core/byte_order.h"
#include "pixmap/decode_scratch.h"
#include "pixmap/pixel_convert.h"
#include "pixmap/pixmap_loader.h"
#include "stream/url_failure.h"
#include "pixmap/pixmap_transform.h"
#include "pixmap/png_image_data.h"
#include "pixmap/png_unfilter.h"
#include "stream/stream_closer.h"

namespace qrv {

// libpng reports errors with longjmp. Every function below that calls setjmp holds only
// plain data, and the callbacks catch C++ exceptions before libpng sees them, so a jump never
// crosses a frame with a live C++ object.
namespace {

struct TPngReadContext {
    TStream* stream;
    std::exception_ptr failure;  // an exception from the stream, raised again after clean-up
    png_byte lastChunkHeader[8];  // libpng reads each chunk's length and type in one piece
    bool ranOut;                  // a read found the end of the data
    char message[128];            // libpng's message of its last error
};

struct TPngHeader {
    png_uint_32 width;
    png_uint_32 height;
    int bitDepth;
    int colorType;
    size_t rowBytes;
    bool hasAlpha;     // an alpha channel or a transparency chunk
    bool widened;      // an opaque picture decoded to RGBA
    bool ownRows;      // 8-bit rows without transforms, read by ReadPngImageData
};

// Keeps libpng's message for the failure's reason; the copy is plain, as nothing here may
// allocate or raise before the jump.
[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
    if (auto* context = static_cast<TPngReadContext*>(png_get_io_ptr(png)); context && message) {
        std::strncpy(context->message, message, sizeof context->message - 1);
        context->message[sizeof context->message - 1] = '\0';
    }
    png_longjmp(png, 1);
}
void OnPngWarning(png_structp, png_const_charp) {}

// Fills the buffer from the stream; false at the end of the data or on an exception.
bool ReadExactly(TPngReadContext& context, png_bytep data, size_t length) noexcept {
    try {
        while (length > 0) {
            auto chunk = static_cast<int32_t>(
                std::min<size_t>(length, std::numeric_limits<int32_t>::max()));
            int32_t got = context.stream->Read(data, chunk);
            if (got == 0) context.ranOut = true;
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
    if (length == sizeof context->lastChunkHeader)
        std::memcpy(context->lastChunkHeader, data, length);
}

// Sets the transforms that give 8-bit grey, RGB or RGBA rows: 16-bit samples cut to 8,
// palettes, transparency chunks and small grey depths expanded, grey with alpha widened to
// RGBA, and opaque pictures widened to RGBA when asked.
void SetTransforms(png_structp png, png_infop info, bool widen, TPngHeader* header) {
    const int type = png_get_color_type(png, info);
    const bool grey = (type & PNG_COLOR_MASK_COLOR) == 0;
    if (header->ownRows) return;
    png_set_strip_16(png);
    png_set_expand(png);
    if (grey && (header->hasAlpha || widen)) png_set_gray_to_rgb(png);
    if (widen && !header->hasAlpha) png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
}

// Reads the chunks up to the image data and chooses how the rows are decoded.
bool ReadPngHeader(png_structp png, png_infop info, bool widen, TPngHeader* header) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_sig_bytes(png, 8);
    png_read_info(png, info);
    const int type = png_get_color_type(png, info);
    png_bytep alphas = nullptr;
    int alphaCount = 0;
    png_get_tRNS(png, info, &alphas, &alphaCount, nullptr);
    header->hasAlpha = (type & PNG_COLOR_MASK_ALPHA) != 0 ||
                       (png_get_valid(png, info, PNG_INFO_tRNS) != 0 &&
                        (type != PNG_COLOR_TYPE_PALETTE || alphaCount > 0));
    header->widened = widen && !header->hasAlpha;
    // Palettes (with or without transparency), grey, RGB and RGBA, all without a
    // transparent colour, need no transform but the palette table and widening done here.
    const bool transparentColour = header->hasAlpha && (type & PNG_COLOR_MASK_ALPHA) == 0 &&
                                   type != PNG_COLOR_TYPE_PALETTE;
    header->ownRows = png_get_bit_depth(png, info) == 8 &&
                      png_get_interlace_type(png, info) == PNG_INTERLACE_NONE &&
                      type != PNG_COLOR_TYPE_GRAY_ALPHA && !transparentColour;
    SetTransforms(png, info, widen, header);
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

// A palette as pixels ready to store, in the bytes R, G, B, A: entries past the palette are
// black and entries past the transparency chunk opaque, as libpng's own expansion makes them.
struct TPaletteTable {
    uint32_t pixels[256];
};

// With a key (an opaque palette widened to RGBA), the key's entries get alpha 0.
void MakePaletteTable(png_structp png, png_infop info, const TKeyColour* key,
                      TPaletteTable* table) {
    png_colorp colours = nullptr;
    int colourCount = 0;
    png_get_PLTE(png, info, &colours, &colourCount);
    png_bytep alphas = nullptr;
    int alphaCount = 0;
    png_get_tRNS(png, info, &alphas, &alphaCount, nullptr);
    for (int i = 0; i < 256; ++i) {
        const png_color colour = i < colourCount ? colours[i] : png_color{0, 0, 0};
        uint8_t pixel[4] = {colour.red, colour.green, colour.blue,
                            i < alphaCount && alphas ? alphas[i] : uint8_t{255}};
        if (key) (void)MarkKeyedRun(pixel, 1, key->red, key->green, key->blue);
        std::memcpy(&table->pixels[i], pixel, 4);
    }
}

// Expands a row of palette indices through the table, from the last pixel back to the first:
// the indices may lie in the same memory as the pixels, as long as each pixel's place is not
// before its index's (the place of the first pixel may be one byte before).
void ExpandPaletteRowBackwards(const uint8_t* indices, const TPaletteTable& table, uint8_t* out,
                               int32_t width, int32_t bytesPerPixel) {
    const uint32_t* colours = table.pixels;
    int32_t x = width;
    if (bytesPerPixel == 4) {
        while (x-- > 0) std::memcpy(out + 4 * x, &colours[indices[x]], 4);
        return;
    }
    if constexpr (std::endian::native == std::endian::little) {
        for (; x % 4 != 0; --x) std::memcpy(out + 3 * (x - 1), &colours[indices[x - 1]], 3);
        // Four pixels of three bytes packed into one 8-byte and one 4-byte store.
        for (x -= 4; x >= 0; x -= 4) {
            const uint64_t a = colours[indices[x]] & 0xFFFFFFu;
            const uint64_t b = colours[indices[x + 1]] & 0xFFFFFFu;
            const uint64_t c = colours[indices[x + 2]] & 0xFFFFFFu;
            const uint32_t d = colours[indices[x + 3]] & 0xFFFFFFu;
            const uint64_t low = a | b << 24 | c << 48;
            const auto high = static_cast<uint32_t>(c >> 16 | uint64_t{d} << 8);
            std::memcpy(out + 3 * x, &low, 8);
            std::memcpy(out + 3 * x + 8, &high, 4);
        }
        return;
    }
    while (x-- > 0) std::memcpy(out + 3 * x, &colours[indices[x]], 3);
}

// The length of the chunk whose header libpng has just read, the first after the chunks
// before the image data; `found` tells whether it is image data at all.
uint32_t FirstImageDataLength(png_structp png, bool& found) {
    auto* context = static_cast<TPngReadContext*>(png_get_io_ptr(png));
    const png_byte* header = context->lastChunkHeader;
    found = std::memcmp(header + 4, "IDAT", 4) == 0;
    return LoadBigEndian<uint32_t>(header);
}

bool ReadFilteredRows(png_structp png, uint8_t* out, size_t size) {
    bool found = false;
    const uint32_t length = FirstImageDataLength(png, found);
    auto* context = static_cast<TPngReadContext*>(png_get_io_ptr(png));
    if (!found) {
        NotePictureFailure("damaged PNG: no image data after the header chunks");
        return false;
    }
    const TPngImageData read = ReadPngImageData(*context->stream, length, out, size);
    if (read == TPngImageData::Short) context->ranOut = true;
    if (read == TPngImageData::Damaged) NotePictureFailure("damaged PNG: the image data does not inflate to the picture");
    return read == TPngImageData::Whole;
}

// A palette picture is inflated into the front of the pixmap's own memory (an index byte a
// pixel and a filter byte a row take less room than the pixels), unfiltered there, and
// expanded from the last row back to the first, each pixel landing at or after its index.
bool ReadPaletteRows(png_structp png, png_infop info, const TPngHeader& header,
                     const TKeyColour* key, TPixmap& pixmap) {
    TPaletteTable table;
    MakePaletteTable(png, info, header.widened ? key : nullptr, &table);
    const int32_t width = pixmap.Width(), height = pixmap.Height();
    const size_t stride = header.rowBytes + 1;
    uint8_t* const pixels = pixmap.Pixels();
    if (!ReadFilteredRows(png, pixels, stride * static_cast<size_t>(height)) ||
        !UnfilterPngRows(pixels, height, header.rowBytes, 1))
        return false;
    const int32_t bytesPerPixel = BytesPerPixel(pixmap.Format());
    const auto rowBytes = static_cast<size_t>(width) * static_cast<size_t>(bytesPerPixel);
    const auto padding = static_cast<size_t>(pixmap.Pitch()) - rowBytes;
    for (int32_t y = height - 1; y >= 0; --y) {
        uint8_t* out = pixels + static_cast<ptrdiff_t>(y) * pixmap.Pitch();
        ExpandPaletteRowBackwards(pixels + stride * static_cast<size_t>(y) + 1, table, out,
                                  width, bytesPerPixel);
        std::memset(out + rowBytes, 0, padding);  // the filtered rows may have lain there
    }
    return true;
}

// Other pictures are inflated and unfiltered in scratch memory, then converted
// (widened and keyed) or copied into the pixmap row by row.
bool ReadSampleRows(png_structp png, png_infop info, const TPngHeader& header,
                    const TKeyColour* key, TPixmap& pixmap) {
    const int32_t samples = static_cast<int32_t>(png_get_channels(png, info));
    const int32_t sourceFormat = samples == 1   ? FormatGrey8
                                 : samples == 3 ? FormatRGB888
                                                : FormatRGBA8888;
    const int32_t height = pixmap.Height();
    const size_t stride = header.rowBytes + 1;
    const size_t size = stride * static_cast<size_t>(height);
    TDecodeScratch scratch;
    uint8_t* const rows = scratch.Reserve(size);
    if (!rows || !ReadFilteredRows(png, rows, size) ||
        !UnfilterPngRows(rows, height, header.rowBytes, samples))
        return false;
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* out = pixmap.Pixels() + static_cast<ptrdiff_t>(y) * pixmap.Pitch();
        (void)ConvertPixelRun(rows + stride * static_cast<size_t>(y) + 1, sourceFormat, out,
                              pixmap.Format(), pixmap.Width());
        if (header.widened)
            (void)MarkKeyedRun(out, pixmap.Width(), key->red, key->green, key->blue);
    }
    return true;
}

// Reads the rows past libpng, into the pixmap: palette indices through the table, samples
// converted (widened) or copied.
bool ReadOwnRows(png_structp png, png_infop info, const TPngHeader& header,
                 const TKeyColour* key, TPixmap& pixmap) {
    if (header.colorType == PNG_COLOR_TYPE_PALETTE)
        return ReadPaletteRows(png, info, header, key, pixmap);
    return ReadSampleRows(png, info, header, key, pixmap);
}

int32_t PixmapFormatFor(const TPngHeader& header) {
    if (header.widened) return FormatRGBA8888;
    switch (header.colorType) {
    case PNG_COLOR_TYPE_GRAY: return FormatGrey8;
    case PNG_COLOR_TYPE_RGB: return FormatRGB888;
    case PNG_COLOR_TYPE_RGB_ALPHA: return FormatRGBA8888;
    case PNG_COLOR_TYPE_PALETTE:
        if (!header.ownRows) return FormatNone;
        return header.hasAlpha ? FormatRGBA8888 : FormatRGB888;
    default: return FormatNone;
    }
}

Ref<TPixmap> DecodeImage(png_structp png, png_infop info, const TPngHeader& header,
                         const TKeyColour* key) {
    const int32_t format = PixmapFormatFor(header);
    if (header.bitDepth != 8 || format == FormatNone) {
        NotePictureFailure("a PNG layout this loader does not decode");
        return nullptr;
    }
    if (!PictureFitsMemoryLimit(header.width, header.height)) {
        NotePictureFailure(OverMemoryLimitCause(header.width, header.height));
        return nullptr;
    }
    const auto width = static_cast<int32_t>(header.width);
    const auto height = static_cast<int32_t>(header.height);
    const size_t samples = header.ownRows ? size_t{png_get_channels(png, info)}
                                          : static_cast<size_t>(BytesPerPixel(format));
    if (header.rowBytes != static_cast<size_t>(width) * samples) {
        NotePictureFailure("a PNG layout this loader does not decode");
        return nullptr;
    }

    Ref<TPixmap> pixmap = TPixmap::NewPixmapForFilling(width, height, format, 4);
    if (!pixmap) {
        NotePictureFailure("no memory for the picture");
        return nullptr;
    }
    if (header.ownRows) return ReadOwnRows(png, info, header, key, *pixmap) ? pixmap : nullptr;
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int32_t y = 0; y < height; ++y) rows[y] = pixmap->PixelAddress(0, y);
    if (!ReadPngImage(png, info, rows.data())) return nullptr;
    if (header.widened) {
        for (int32_t y = 0; y < height; ++y)
            (void)MarkKeyedRun(rows[y], width, key->red, key->green, key->blue);
    }
    return pixmap;
}

// The read and info structures, destroyed together however the load ends.
class TPngReader {
public:
    explicit TPngReader(TPngReadContext& context)
        : png(png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning)),
          info(png ? png_create_info_struct(png) : nullptr) {
        if (!png) return;
        png_set_read_fn(png, &context, ReadFromStream);
#ifdef PNG_IGNORE_ADLER32
        // libpng checks the CRC of every image data chunk, so damaged data is still refused;
        // zlib's own checksum of the inflated bytes only costs time on top of it.
        png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
    }
    ~TPngReader() { png_destroy_read_struct(png ? &png : nullptr, info ? &info : nullptr, nullptr); }
    TPngReader(const TPngReader&) = delete;
    TPngReader& operator=(const TPngReader&) = delete;

    // With a key, an opaque picture is widened to RGBA and keyed as it is decoded.
    Ref<TPixmap> Decode(const TKeyColour* key, bool& keyed) {
        if (!png || !info) return nullptr;
        TPngHeader header{};
        if (!ReadPngHeader(png, info, key != nullptr, &header)) return nullptr;
        Ref<TPixmap> pixmap = DecodeImage(png, info, header, key);
        keyed = pixmap && header.widened;
        return pixmap;
    }

private:
    png_structp png;
    png_infop info;
};

// Decodes from the stream's position. Data with a PNG signature that does not decode notes
// why (NotePictureFailure): where it ended early, libpng's message, or what was refused.
Ref<TPixmap> DecodePNGStream(TStream& stream, const TKeyColour* key, bool& keyed) {
    keyed = false;
    const int32_t start = stream.Position();
    png_byte signature[8] = {};
    stream.ReadFully(signature, sizeof signature);
    if (png_sig_cmp(signature, 0, sizeof signature) != 0) return nullptr;

    TPngReadContext context{&stream, nullptr, {}, false, {}};
    Ref<TPixmap> pixmap = TPngReader(context).Decode(key, keyed);
    if (context.failure) std::rethrow_exception(context.failure);
    if (pixmap) return pixmap;
    if (context.ranOut) {
        NotePictureFailure(TruncatedCause(stream.Position() - std::max(start, 0)));
    } else if (context.message[0] != '\0') {
        NotePictureFailure(std::string("damaged PNG: ") + context.message);
    }
    NotePictureFailure("damaged PNG");
    return nullptr;
}

}  // namespace

Ref<TPixmap> DecodePNG(const Ref<TObject>& url) {
    Ref<TStream> stream = OpenReadStream(url);
    if (!stream) return nullptr;
    TStreamCloser closer(stream);
    ForgetPictureFailure();
    bool keyed = false;
    return ReportPictureLoad(url, DecodePNGStream(*stream, nullptr, keyed), "not a PNG picture");
}

Ref<TPixmap> DecodePNG(std::u16string_view url) { return DecodePNG(MakeText(std::u16string(url))); }

Ref<TPixmap> TPixmapLoaderPNG::LoadFromStream(const Ref<TStream>& stream) {
    bool keyed = false;
    return stream ? DecodePNGStream(*stream, nullptr, keyed) : nullptr;
}

Ref<TPixmap> TPixmapLoaderPNG::LoadFromStreamKeyed(const Ref<TStream>& stream,
                                                   const TKeyColour& key, bool& keyed) {
    keyed = false;
    return stream ? DecodePNGStream(*stream, &key, keyed) : nullptr;
}

}  // namespace qrv
