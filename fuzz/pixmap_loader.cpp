// The picture loaders (PNG and JPEG) through the loader chain over a memory stream. A picture
// that loads is read pixel by pixel and converted to RGBA, the two ways agreeing, and it is
// compared with stb_image's decoding of the same bytes: the same size, and for PNG the same
// pixels. A PNG input is also decoded with every chunk's CRC made right, so that mutations
// reach past the CRC check into the chunks themselves.
#include <stb_image.h>

#include <zlib.h>

#include <memory>
#include <string>
#include <vector>

#include "core/byte_order.h"
#include "pixmap/pixel_format.h"
#include "pixmap/pixmap_loader.h"
#include "pixmap/pixmap_module.h"
#include "stream/ram_stream.h"
#include "support/fuzz_check.h"

namespace {

using qrv::Ref;
using qrv::TPixmap;

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// stb_image decodes into memory of its own; larger pictures are only loaded, not compared.
constexpr int64_t kLargestComparedPixels = 4 << 20;

bool IsPng(const std::vector<uint8_t>& bytes) {
    return bytes.size() >= 8 && std::equal(kPngSignature, kPngSignature + 8, bytes.begin());
}

// What the chunk walk found: whether every CRC was right, and whether the chunks that the two
// decoders are free to treat differently (palettes, repeated transparency) are present.
struct TPngChunks {
    bool crcsRight = true;
    bool comparablePixels = true;
};

// Walks the chunks, optionally writing the right CRC into each complete one.
TPngChunks WalkChunks(std::vector<uint8_t>& bytes, bool fixCrcs) {
    TPngChunks chunks;
    int transparencies = 0;
    for (size_t at = 8; at + 12 <= bytes.size();) {
        const uint32_t length = qrv::LoadBigEndian<uint32_t>(&bytes[at]);
        if (length > bytes.size() - at - 12) break;
        const uint8_t* type = &bytes[at + 4];
        const auto crc = static_cast<uint32_t>(crc32(0, type, length + 4));
        uint8_t* stored = &bytes[at + 8 + length];
        if (fixCrcs) qrv::StoreBigEndian(stored, crc);
        chunks.crcsRight = chunks.crcsRight && qrv::LoadBigEndian<uint32_t>(stored) == crc;
        const std::string name(type, type + 4);
        if (name == "PLTE") chunks.comparablePixels = false;
        if (name == "tRNS" && ++transparencies > 1) chunks.comparablePixels = false;
        at += 12 + length;
    }
    return chunks;
}

uint32_t ArgbAt(const uint8_t* rgba) {
    return uint32_t{rgba[3]} << 24 | uint32_t{rgba[0]} << 16 | uint32_t{rgba[1]} << 8 | rgba[2];
}

// Every pixel read directly and through the RGBA conversion gives the same colour.
void CheckPixels(const Ref<TPixmap>& pixmap) {
    const int32_t width = qrv::PixmapWidth(pixmap);
    const int32_t height = qrv::PixmapHeight(pixmap);
    FUZZ_CHECK(width > 0 && height > 0, "a loaded picture without pixels");
    const Ref<TPixmap> rgba = qrv::ConvertedTo(pixmap, qrv::FormatRGBA8888);
    FUZZ_CHECK(rgba && qrv::PixmapWidth(rgba) == width && qrv::PixmapHeight(rgba) == height, "RGBA conversion");
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            FUZZ_CHECK(qrv::GetPixelARGB(pixmap, x, y) == ArgbAt(qrv::PixelAddress(rgba, x, y)),
                       "pixel " + std::to_string(x) + "," + std::to_string(y) + " differs after conversion");
        }
    }
}

void CompareWithStb(const std::vector<uint8_t>& bytes, const Ref<TPixmap>& pixmap, bool comparePixels) {
    const int32_t width = qrv::PixmapWidth(pixmap);
    const int32_t height = qrv::PixmapHeight(pixmap);
    if (int64_t{width} * height > kLargestComparedPixels) return;
    int stbWidth = 0, stbHeight = 0, channels = 0;
    const std::unique_ptr<stbi_uc, void (*)(void*)> stb(
        stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &stbWidth, &stbHeight, &channels, 4),
        stbi_image_free);
    // stb_image refuses some pictures libpng and libjpeg read (and reads some they refuse); only
    // pictures both decode are compared.
    if (!stb) return;
    FUZZ_CHECK(stbWidth == width && stbHeight == height,
               "size " + std::to_string(width) + "x" + std::to_string(height) + ", stb_image gives " +
                   std::to_string(stbWidth) + "x" + std::to_string(stbHeight));
    if (!comparePixels) return;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t expected = ArgbAt(stb.get() + (size_t(y) * size_t(width) + size_t(x)) * 4);
            FUZZ_CHECK(qrv::GetPixelARGB(pixmap, x, y) == expected,
                       "pixel " + std::to_string(x) + "," + std::to_string(y) + " differs from stb_image");
        }
    }
}

void LoadAndCheck(std::vector<uint8_t>& bytes) {
    const Ref<TPixmap> pixmap =
        qrv::PixmapFromUrl(qrv::TRamStream::OverMemory(bytes.data(), static_cast<int32_t>(bytes.size())));
    if (!pixmap) return;
    CheckPixels(pixmap);
    bool comparePixels = false;
    if (IsPng(bytes)) {
        const TPngChunks chunks = WalkChunks(bytes, false);
        comparePixels = chunks.crcsRight && chunks.comparablePixels;
    }
    CompareWithStb(bytes, pixmap, comparePixels);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qrv::InitPixmapModule();
    if (size > 1 << 22) return 0;
    std::vector<uint8_t> bytes(data, data + size);
    LoadAndCheck(bytes);
    if (IsPng(bytes) && !WalkChunks(bytes, false).crcsRight) {
        WalkChunks(bytes, true);
        LoadAndCheck(bytes);
    }
    return 0;
}
