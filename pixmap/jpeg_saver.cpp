#include <exception>
#include <memory>

#include "pixmap/jpeg_glue.h"
#include "pixmap/pixmap_save.h"
#include "pixmap/save_outcome.h"
#include "stream/stream_closer.h"
#include "stream/stream_exceptions.h"

#include <jerror.h>

namespace qrv {

// As in the loader: the functions that call setjmp hold only plain data, and the destination
// callbacks catch C++ exceptions before libjpeg sees them.
namespace {

constexpr int32_t destinationBufferSize = 4096;

struct TJpegDestination {
    jpeg_destination_mgr manager;  // first, so libjpeg's pointer to it is a pointer to the whole
    TStream* stream;
    std::exception_ptr* failure;
    JOCTET buffer[destinationBufferSize];
};

struct TJpegEncoder {
    jpeg_compress_struct info;
    TJpegErrorManager errors;
    TJpegDestination destination;
};

bool WriteBuffer(TJpegDestination& destination, int32_t count) noexcept {
    try {
        destination.stream->WriteFully(destination.buffer, count);
        return true;
    } catch (...) {
        *destination.failure = std::current_exception();
        return false;
    }
}

void ResetBuffer(TJpegDestination& destination) {
    destination.manager.next_output_byte = destination.buffer;
    destination.manager.free_in_buffer = destinationBufferSize;
}

void InitDestination(j_compress_ptr info) {
    ResetBuffer(*reinterpret_cast<TJpegDestination*>(info->dest));
}

boolean EmptyOutputBuffer(j_compress_ptr info) {
    auto* destination = reinterpret_cast<TJpegDestination*>(info->dest);
    if (!WriteBuffer(*destination, destinationBufferSize)) ERREXIT(info, JERR_FILE_WRITE);
    ResetBuffer(*destination);
    return TRUE;
}

void TermDestination(j_compress_ptr info) {
    auto* destination = reinterpret_cast<TJpegDestination*>(info->dest);
    auto used = static_cast<int32_t>(destinationBufferSize - destination->manager.free_in_buffer);
    if (used > 0 && !WriteBuffer(*destination, used)) ERREXIT(info, JERR_FILE_WRITE);
}

void InstallDestination(TJpegEncoder& encoder, TStream* stream, std::exception_ptr* failure) {
    TJpegDestination& destination = encoder.destination;
    destination.manager.init_destination = InitDestination;
    destination.manager.empty_output_buffer = EmptyOutputBuffer;
    destination.manager.term_destination = TermDestination;
    destination.stream = stream;
    destination.failure = failure;
    encoder.info.dest = &destination.manager;
}

struct TJpegSettings {
    int32_t quality;
    bool progressive;
};

bool Encode(TJpegEncoder* encoder, const TPixmap* pixmap, TJpegSettings settings,
            TStream* stream, std::exception_ptr* failure) {
    if (setjmp(encoder->errors.recovery)) return false;
    jpeg_compress_struct& info = encoder->info;
    jpeg_create_compress(&info);
    InstallDestination(*encoder, stream, failure);
    info.image_width = static_cast<JDIMENSION>(pixmap->Width());
    info.image_height = static_cast<JDIMENSION>(pixmap->Height());
    const bool grey = pixmap->Format() == FormatGrey8;
    info.input_components = grey ? 1 : 3;
    info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, settings.quality, TRUE);
    if (settings.progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = pixmap->PixelAddress(0, static_cast<int32_t>(info.next_scanline));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    return true;
}

// Owns the plain encoder state and destroys the compressor however the save ends.
class TJpegWriter {
public:
    TJpegWriter() : encoder(std::make_unique<TJpegEncoder>()) {
        encoder->info.err = InstallJpegErrorManager(encoder->errors);
    }
    ~TJpegWriter() { jpeg_destroy_compress(&encoder->info); }
    TJpegWriter(const TJpegWriter&) = delete;
    TJpegWriter& operator=(const TJpegWriter&) = delete;

    bool Write(const TPixmap& pixmap, TJpegSettings settings, TStream* stream,
               std::exception_ptr* failure) {
        return Encode(encoder.get(), &pixmap, settings, stream, failure);
    }

private:
    std::unique_ptr<TJpegEncoder> encoder;  // value-initialised: all zero
};

}  // namespace

bool SavePixmapJPEG(const Ref<TPixmap>& pixmap, const Ref<TObject>& url, int32_t quality,
                    bool progressive) {
    if (!pixmap || pixmap->Width() < 1 || pixmap->Height() < 1) return false;
    if (quality < 1 || quality > 100 || pixmap->Width() > JPEG_MAX_DIMENSION ||
        pixmap->Height() > JPEG_MAX_DIMENSION)
        return false;
    const bool keepsLayout = pixmap->Format() == FormatGrey8 || pixmap->Format() == FormatRGB888;
    Ref<TPixmap> storable = keepsLayout ? pixmap : pixmap->ConvertedTo(FormatRGB888);
    if (!storable) return false;
    Ref<TStream> stream = OpenWriteStream(url);
    if (!stream) return false;
    TStreamCloser closer(stream);
    std::exception_ptr failure;
    const bool written =
        TJpegWriter().Write(*storable, {quality, progressive}, stream.get(), &failure);
    return SaveOutcome(written, failure, closer);
}

bool SavePixmapJPEG(const Ref<TPixmap>& pixmap, std::u16string_view url, int32_t quality,
                    bool progressive) {
    return SavePixmapJPEG(pixmap, MakeText(std::u16string(url)), quality, progressive);
}

}  // namespace qrv
