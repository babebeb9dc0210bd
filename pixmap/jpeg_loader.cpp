#include "pixmap/jpeg_loader.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <memory>
#include <string>

#include "pixmap/decode_scratch.h"
#include "pixmap/jpeg_block_arrays.h"
#include "pixmap/jpeg_glue.h"
#include "pixmap/pixmap_loader.h"
#include "stream/url_failure.h"
#include "pixmap/pixmap_transform.h"
#include "stream/stream_closer.h"

#include <jerror.h>

namespace qrv {

// libjpeg reports fatal errors with longjmp. Every function below that calls setjmp holds
// only plain data, and the source callbacks catch C++ exceptions before libjpeg sees them, so
// a jump never crosses a frame with a live C++ object.
namespace {

constexpr int32_t sourceBufferSize = 4096;

struct TJpegSource {
    jpeg_source_mgr manager;  // first, so libjpeg's pointer to it is a pointer to the whole
    TStream* stream;
    std::exception_ptr* failure;  // where an exception from the stream is kept for later
    bool atStartOfData;
    bool ranOut;  // the data ended before libjpeg had what it needed
    JOCTET buffer[sourceBufferSize];
};

// Why StartDecoding refused a picture it read without an error.
enum class TJpegRefusal { None, TablesOnly, OverLimit, ColourSpace };

// The whole decoder state, plain data only.
struct TJpegDecoder {
    jpeg_decompress_struct info;
    TJpegErrorManager errors;
    TJpegSource source;
    TJpegBlockArrays blockArrays;
    TJpegRefusal refusal;
};

// Bytes read into the buffer, 0 at the end of the data, -1 when the stream raised.
int32_t ReadIntoBuffer(TJpegSource& source) noexcept {
    try {
        int32_t got = source.stream->Read(source.buffer, sourceBufferSize);
        return got >= 0 && got <= sourceBufferSize ? got : -1;
    } catch (...) {
        *source.failure = std::current_exception();
        return -1;
    }
}

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr info) {
    auto* source = reinterpret_cast<TJpegSource*>(info->src);
    int32_t got = ReadIntoBuffer(*source);
    if (got < 0) ERREXIT(info, JERR_FILE_READ);
    if (got == 0) {
        if (source->atStartOfData) ERREXIT(info, JERR_INPUT_EMPTY);
        // Data that ends early: end the picture here, keeping what has been decoded.
        source->ranOut = true;
        WARNMS(info, JWRN_JPEG_EOF);
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        got = 2;
    }
    source->manager.next_input_byte = source->buffer;
    source->manager.bytes_in_buffer = static_cast<size_t>(got);
    source->atStartOfData = false;
    return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count) {
    if (count <= 0) return;
    jpeg_source_mgr* manager = info->src;
    while (count > static_cast<long>(manager->bytes_in_buffer)) {
        count -= static_cast<long>(manager->bytes_in_buffer);
        (void)FillInputBuffer(info);
    }
    manager->next_input_byte += count;
    manager->bytes_in_buffer -= static_cast<size_t>(count);
}

void InstallSource(TJpegDecoder& decoder, TStream* stream, std::exception_ptr* failure) {
    TJpegSource& source = decoder.source;
    source.manager.init_source = InitSource;
    source.manager.fill_input_buffer = FillInputBuffer;
    source.manager.skip_input_data = SkipInputData;
    source.manager.resync_to_restart = jpeg_resync_to_restart;
    source.manager.term_source = TermSource;
    source.manager.next_input_byte = nullptr;
    source.manager.bytes_in_buffer = 0;
    source.stream = stream;
    source.failure = failure;
    source.atStartOfData = true;
    source.ranOut = false;
    decoder.info.src = &source.manager;
}

// Creates the decompressor, reads the header and starts decompressing.
bool StartDecoding(TJpegDecoder* decoder, TDecodeScratch* scratch, TStream* stream,
                   std::exception_ptr* failure, bool widen) {
    if (setjmp(decoder->errors.recovery)) return false;
    jpeg_create_decompress(&decoder->info);
    InstallJpegBlockArrays(&decoder->info, decoder->blockArrays, *scratch);
    InstallSource(*decoder, stream, failure);
    jpeg_decompress_struct& info = decoder->info;
    // Progressive pictures keep every coefficient (up to 6 bytes a pixel) until the end: bound
    // libjpeg's working memory as well as the picture's own; libjpeg fails when its arrays
    // would exceed it. The slack covers its tables and row buffers.
    constexpr int64_t tablesAndRows = int64_t{16} << 20;
    info.mem->max_memory_to_use = static_cast<long>(std::min<int64_t>(
        PictureMemoryLimit() * 2 + tablesAndRows, std::numeric_limits<long>::max()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        decoder->refusal = TJpegRefusal::TablesOnly;
        return false;
    }
    if (!PictureFitsMemoryLimit(info.image_width, info.image_height)) {
        decoder->refusal = TJpegRefusal::OverLimit;
        return false;
    }
    // Only grey and colour pictures become pixmaps: refuse the rest before decoding them.
    if (info.out_color_space != JCS_GRAYSCALE && info.out_color_space != JCS_RGB) {
        decoder->refusal = TJpegRefusal::ColourSpace;
        return false;
    }
#ifdef JCS_EXTENSIONS
    // libjpeg-turbo writes the alpha byte itself while converting colours.
    if (widen && info.out_color_space == JCS_RGB) info.out_color_space = JCS_EXT_RGBA;
#else
    (void)widen;
#endif
    jpeg_start_decompress(&info);
    return true;
}

// With a key (colour widened to RGBA), each row is keyed while it is still in the cache.
bool ReadRows(TJpegDecoder* decoder, TPixmap* pixmap, const TKeyColour* key) {
    if (setjmp(decoder->errors.recovery)) return false;
    jpeg_decompress_struct& info = decoder->info;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixmap->PixelAddress(0, static_cast<int32_t>(info.output_scanline));
        if (jpeg_read_scanlines(&info, &row, 1) != 1) return false;
        if (key) (void)MarkKeyedRun(row, pixmap->Width(), key->red, key->green, key->blue);
    }
    jpeg_finish_decompress(&info);
    return true;
}

int32_t FormatForComponents(int components) {
    switch (components) {
    case 1: return FormatGrey8;
    case 3: return FormatRGB888;
    case 4: return FormatRGBA8888;  // only when asked for: colour widened by libjpeg
    default: return FormatNone;
    }
}

// Owns the plain decoder state and destroys the decompressor however the load ends.
class TJpegReader {
public:
    TJpegReader() : decoder(std::make_unique<TJpegDecoder>()) {
        decoder->info.err = InstallJpegErrorManager(decoder->errors);
    }
    // Safe also when creation failed: a decompressor without memory manager is left alone.
    ~TJpegReader() { jpeg_destroy_decompress(&decoder->info); }
    TJpegReader(const TJpegReader&) = delete;
    TJpegReader& operator=(const TJpegReader&) = delete;

    // A picture that is a JPEG (it starts with the start-of-image marker) but does not decode
    // notes why (NotePictureFailure); `start` is where its data began.
    Ref<TPixmap> Decode(TStream* stream, std::exception_ptr* failure, const TKeyColour* key,
                        int32_t start) {
        if (!StartDecoding(decoder.get(), &scratch, stream, failure, key != nullptr)) {
            NoteFailure(*stream, start);
            return nullptr;
        }
        const jpeg_decompress_struct& info = decoder->info;
        const int32_t format = FormatForComponents(info.output_components);
        if (info.output_width == 0 || format == FormatNone) {
            NotePictureFailure("a JPEG of " + std::to_string(info.output_components) +
                               " colour components, which this loader does not decode");
            return nullptr;
        }
        // Every row is written before the pixmap is given (a short file gives libjpeg's rows).
        Ref<TPixmap> pixmap =
            TPixmap::NewPixmapForFilling(static_cast<int32_t>(info.output_width),
                                         static_cast<int32_t>(info.output_height), format, 4);
        if (!pixmap) {
            NotePictureFailure("no memory for the picture");
            return nullptr;
        }
        const bool widened = format == FormatRGBA8888;
        if (!ReadRows(decoder.get(), pixmap.get(), widened ? key : nullptr)) {
            NoteFailure(*stream, start);
            return nullptr;
        }
        return pixmap;
    }

private:
    void NoteFailure(TStream& stream, int32_t start) const {
        const jpeg_decompress_struct& info = decoder->info;
        switch (decoder->refusal) {
        case TJpegRefusal::TablesOnly:
            NotePictureFailure("a JPEG of tables only, without a picture");
            return;
        case TJpegRefusal::OverLimit:
            NotePictureFailure(OverMemoryLimitCause(info.image_width, info.image_height));
            return;
        case TJpegRefusal::ColourSpace:
            NotePictureFailure("a JPEG colour space this loader does not decode");
            return;
        case TJpegRefusal::None: break;
        }
        const int code = decoder->errors.manager.msg_code;
        // Data without the start-of-image marker, or none at all, is no JPEG: other loaders
        // may know it.
        if (code == JERR_NO_SOI || code == JERR_INPUT_EMPTY) return;
        if (decoder->source.ranOut) {
            NotePictureFailure(TruncatedCause(stream.Position() - std::max(start, 0)));
        } else if (code == JERR_OUT_OF_MEMORY) {
            NotePictureFailure("decoding needs more memory than the picture memory limit allows");
        } else {
            NotePictureFailure(std::string("damaged JPEG: ") + decoder->errors.message);
        }
    }

    TDecodeScratch scratch;  // the coefficient arrays of progressive pictures
    std::unique_ptr<TJpegDecoder> decoder;  // value-initialised: all zero
};

Ref<TPixmap> DecodeJPEGStream(TStream& stream, const TKeyColour* key, bool& keyed) {
    keyed = false;
    std::exception_ptr failure;
    Ref<TPixmap> pixmap = TJpegReader().Decode(&stream, &failure, key, stream.Position());
    if (failure) std::rethrow_exception(failure);
    keyed = pixmap && pixmap->Format() == FormatRGBA8888;
    return pixmap;
}

}  // namespace

Ref<TPixmap> DecodeJPEG(const Ref<TObject>& url) {
    Ref<TStream> stream = OpenReadStream(url);
    if (!stream) return nullptr;
    TStreamCloser closer(stream);
    ForgetPictureFailure();
    bool keyed = false;
    return ReportPictureLoad(url, DecodeJPEGStream(*stream, nullptr, keyed), "not a JPEG picture");
}

Ref<TPixmap> DecodeJPEG(std::u16string_view url) {
    return DecodeJPEG(MakeText(std::u16string(url)));
}

Ref<TPixmap> TPixmapLoaderJPG::LoadFromStream(const Ref<TStream>& stream) {
    bool keyed = false;
    return stream ? DecodeJPEGStream(*stream, nullptr, keyed) : nullptr;
}

Ref<TPixmap> TPixmapLoaderJPG::LoadFromStreamKeyed(const Ref<TStream>& stream,
                                                   const TKeyColour& key, bool& keyed) {
    keyed = false;
    return stream ? DecodeJPEGStream(*stream, &key, keyed) : nullptr;
}

}  // namespace qrv
