#include "pixmap/zlib_compression.h"

#include <libdeflate.h>

#include <memory>
#include <new>
#include <utility>

#include "core/byte_order.h"

namespace qrv {

namespace {

constexpr size_t headerBytes = 2;
constexpr size_t checksumBytes = 4;
constexpr size_t inputBlock = 64 * 1024;

// zlib's own checks of the two header bytes: deflate with a window of at most 32 KiB, no
// preset dictionary and a correct check value.
bool ZlibHeaderIsSound(std::span<const uint8_t> in) {
    if (in.size() < headerBytes) return false;
    const uint8_t method = in[0], flags = in[1];
    return (method & 0x0F) == 8 && (method >> 4) <= 7 && (flags & 0x20) == 0 &&
           (method * 256 + flags) % 31 == 0;
}

using TDecompressor =
    std::unique_ptr<libdeflate_decompressor, decltype(&libdeflate_free_decompressor)>;
using TCompressor = std::unique_ptr<libdeflate_compressor, decltype(&libdeflate_free_compressor)>;

}  // namespace

// The header and the checksum are read here rather than by libdeflate's zlib form, which
// always compares the checksum.
TZlibInflation InflateZlib(std::span<const uint8_t> in, std::span<uint8_t> out,
                           TZlibChecksum checksum) {
    constexpr TZlibInflation damaged{TZlibInflated::Damaged, 0};
    if (!ZlibHeaderIsSound(in)) return damaged;
    const TDecompressor inflater(libdeflate_alloc_decompressor(), libdeflate_free_decompressor);
    if (!inflater) return damaged;
    const std::span<const uint8_t> deflated = in.subspan(headerBytes);
    size_t consumed = 0, produced = 0;
    const libdeflate_result result =
        libdeflate_deflate_decompress_ex(inflater.get(), deflated.data(), deflated.size(),
                                         out.data(), out.size(), &consumed, &produced);
    if (result == LIBDEFLATE_INSUFFICIENT_SPACE) return {TZlibInflated::Longer, 0};
    if (result != LIBDEFLATE_SUCCESS || consumed + checksumBytes > deflated.size()) return damaged;
    if (checksum == TZlibChecksum::Checked &&
        LoadBigEndian<uint32_t>(deflated.data() + consumed) !=
            libdeflate_adler32(1, out.data(), produced))
        return damaged;
    return {produced == out.size() ? TZlibInflated::Whole : TZlibInflated::Short,
            headerBytes + consumed + checksumBytes};
}

std::vector<uint8_t> DeflateZlib(std::span<const uint8_t> data, int level) {
    const TCompressor deflater(libdeflate_alloc_compressor(level), libdeflate_free_compressor);
    if (!deflater) throw std::bad_alloc();
    std::vector<uint8_t> out(libdeflate_zlib_compress_bound(deflater.get(), data.size()));
    // The bound holds every stream this compressor can make, so it never gives 0 here.
    out.resize(libdeflate_zlib_compress(deflater.get(), data.data(), data.size(), out.data(),
                                        out.size()));
    return out;
}

TZlibInflater::TZlibInflater(std::span<const uint8_t> first, TSource more, TZlibChecksum checksum)
    : more(std::move(more)), input(inputBlock) {
    ready = inflateInit(&zstream) == Z_OK;
#if ZLIB_VERNUM >= 0x1290
    if (ready && checksum == TZlibChecksum::Ignored) inflateValidate(&zstream, 0);
#else
    (void)checksum;
#endif
    zstream.next_in = const_cast<uint8_t*>(first.data());
    zstream.avail_in = static_cast<uInt>(first.size());
}

TZlibInflater::~TZlibInflater() {
    if (ready) inflateEnd(&zstream);
}

bool TZlibInflater::InflateDroppingExcess(std::span<uint8_t> out) {
    if (!ready) return false;
    zstream.next_out = out.data();
    zstream.avail_out = static_cast<uInt>(out.size());
    while (zstream.avail_out > 0) {
        if (ended || !Step()) return false;
    }
    uint8_t spare[1024];
    while (!ended) {
        zstream.next_out = spare;
        zstream.avail_out = sizeof spare;
        if (!Step()) return false;
    }
    return true;
}

bool TZlibInflater::Step() {
    if (zstream.avail_in == 0) {
        const long got = more(input.data(), input.size());
        if (got <= 0) return false;
        zstream.next_in = input.data();
        zstream.avail_in = static_cast<uInt>(got);
    }
    const int result = inflate(&zstream, Z_NO_FLUSH);
    if (result == Z_STREAM_END) ended = true;
    return result == Z_OK || result == Z_STREAM_END;
}

}  // namespace qrv
