#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include <zlib.h>

namespace qrv {

// zlib streams (a two-byte header, deflate data, the Adler-32 of what it holds) for the
// pixmap code. A stream held whole goes through libdeflate, which is several times faster;
// one that arrives in pieces goes through zlib's inflate, which can stop and go on.

// Whether the Adler-32 at the end of a stream is compared with what it inflated to. Data
// already covered by other checksums (PNG's chunk CRCs) can skip it.
enum class TZlibChecksum { Checked, Ignored };

enum class TZlibInflated {
    Whole,    // exactly the size asked for
    Short,    // a sound stream that holds less
    Longer,   // a stream that holds more; what `out` holds then is undefined
    Damaged,  // no sound zlib stream, or one whose checksum or last four bytes are missing
};

struct TZlibInflation {
    TZlibInflated outcome;
    size_t consumed;  // the stream's own length in bytes when it is Whole or Short, else 0
};

// Inflates the zlib stream at the start of `in` into exactly out.size() bytes. Bytes after
// the stream are left alone; `consumed` tells where it ends.
[[nodiscard]] TZlibInflation InflateZlib(std::span<const uint8_t> in, std::span<uint8_t> out,
                                         TZlibChecksum checksum);

// The bytes as one zlib stream, at libdeflate's level: 0 stores them, 1 is the fastest and
// 12 the smallest. Raises std::bad_alloc when out of memory.
[[nodiscard]] std::vector<uint8_t> DeflateZlib(std::span<const uint8_t> data, int level);

// zlib's inflate for a stream that arrives in pieces, of which more may follow than a whole
// inflate would take in one go. After the bytes it is given first, it asks `more` for the
// rest: `more` fills a buffer and gives the byte count, 0 at the end of the data or -1 on
// damage.
class TZlibInflater {
public:
    using TSource = std::function<long(uint8_t* buffer, size_t capacity)>;

    TZlibInflater(std::span<const uint8_t> first, TSource more, TZlibChecksum checksum);
    ~TZlibInflater();
    TZlibInflater(const TZlibInflater&) = delete;
    TZlibInflater& operator=(const TZlibInflater&) = delete;

    // Fills `out`, then reads the stream to its end, dropping what it holds beyond `out`.
    // False when the data ends first or is damaged.
    [[nodiscard]] bool InflateDroppingExcess(std::span<uint8_t> out);

private:
    bool Step();

    TSource more;
    std::vector<uint8_t> input;
    z_stream zstream{};
    bool ready = false;
    bool ended = false;
};

}  // namespace qrv
