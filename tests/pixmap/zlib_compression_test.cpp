// zlib streams made and read by the pixmap code: they must be what zlib itself makes and
// reads, and every kind of bad stream must come back as such, never as pixels.
#include "pixmap/zlib_compression.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>

namespace {

using namespace qrv;
using Bytes = std::vector<uint8_t>;

// Smooth runs and noise, so that every kind of deflate block is made.
Bytes SampleData(size_t size) {
    Bytes data(size);
    uint32_t state = 7;
    for (size_t i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        data[i] = i % 3000 < 1500 ? uint8_t(i / 64) : uint8_t(state >> 16);
    }
    return data;
}

Bytes ZlibCompressed(const Bytes& data) {
    Bytes out(compressBound(uLong(data.size())));
    uLongf size = out.size();
    EXPECT_EQ(compress2(out.data(), &size, data.data(), uLong(data.size()), 6), Z_OK);
    out.resize(size);
    return out;
}

TEST(ZlibCompression, StreamsAreWhatZlibMakesAndReads) {
    const Bytes data = SampleData(100000);
    for (int level : {0, 1, 6, 12}) {
        const Bytes deflated = DeflateZlib(data, level);
        Bytes unpacked(data.size());
        uLongf size = unpacked.size();
        ASSERT_EQ(uncompress(unpacked.data(), &size, deflated.data(), uLong(deflated.size())),
                  Z_OK)
            << "level " << level;
        EXPECT_EQ(unpacked, data) << "level " << level;
    }
    for (const Bytes& stream : {ZlibCompressed(data), DeflateZlib(data, 9)}) {
        Bytes followed = stream;
        followed.insert(followed.end(), 10, 0x55);  // the stream's end is found, not assumed
        Bytes out(data.size());
        const TZlibInflation inflation = InflateZlib(followed, out, TZlibChecksum::Checked);
        EXPECT_EQ(inflation.outcome, TZlibInflated::Whole);
        EXPECT_EQ(inflation.consumed, stream.size());
        EXPECT_EQ(out, data);
    }
    const Bytes empty = DeflateZlib({}, 6);
    EXPECT_EQ(InflateZlib(empty, {}, TZlibChecksum::Checked).outcome, TZlibInflated::Whole);
}

TEST(ZlibCompression, BadStreamsSayWhatIsWrong) {
    const Bytes data = SampleData(5000);
    const Bytes stream = DeflateZlib(data, 6);
    const auto outcome = [](const Bytes& in, size_t size, TZlibChecksum checksum) {
        Bytes out(size);
        return InflateZlib(in, out, checksum).outcome;
    };
    for (TZlibChecksum checksum : {TZlibChecksum::Checked, TZlibChecksum::Ignored}) {
        EXPECT_EQ(outcome(stream, data.size() + 1, checksum), TZlibInflated::Short);
        EXPECT_EQ(outcome(stream, data.size() - 1, checksum), TZlibInflated::Longer);
        const Bytes noChecksum(stream.begin(), stream.end() - 1);
        EXPECT_EQ(outcome(noChecksum, data.size(), checksum), TZlibInflated::Damaged);
        const Bytes cut(stream.begin(), stream.begin() + long(stream.size() / 2));
        EXPECT_EQ(outcome(cut, data.size(), checksum), TZlibInflated::Damaged);
        Bytes badHeader = stream;
        badHeader[1] ^= 0x01;
        EXPECT_EQ(outcome(badHeader, data.size(), checksum), TZlibInflated::Damaged);
        EXPECT_EQ(outcome({}, 0, checksum), TZlibInflated::Damaged);
    }
    Bytes wrongChecksum = stream;
    wrongChecksum.back() ^= 0x01;
    EXPECT_EQ(outcome(wrongChecksum, data.size(), TZlibChecksum::Checked), TZlibInflated::Damaged);
    EXPECT_EQ(outcome(wrongChecksum, data.size(), TZlibChecksum::Ignored), TZlibInflated::Whole);
}

// The stream handed over in pieces of every size, the first piece before any is asked for.
bool InflatedInPieces(const Bytes& stream, size_t firstSize, size_t pieceSize, Bytes& out) {
    firstSize = std::min(firstSize, stream.size());
    size_t at = firstSize;
    TZlibInflater inflater(
        std::span<const uint8_t>(stream).first(firstSize),
        [&](uint8_t* buffer, size_t capacity) {
            const size_t n = std::min({pieceSize, capacity, stream.size() - at});
            std::copy_n(stream.begin() + long(at), n, buffer);
            at += n;
            return long(n);
        },
        TZlibChecksum::Checked);
    return inflater.InflateDroppingExcess(out);
}

TEST(ZlibInflater, TakesPiecesAndDropsWhatIsBeyondTheBuffer) {
    const Bytes data = SampleData(70000);
    const Bytes stream = DeflateZlib(data, 6);
    for (auto [firstSize, pieceSize] : {std::pair<size_t, size_t>{0, 1}, {3, 7}, {1000, 100000}}) {
        Bytes out(data.size());
        ASSERT_TRUE(InflatedInPieces(stream, firstSize, pieceSize, out)) << pieceSize;
        EXPECT_EQ(out, data) << pieceSize;
        Bytes front(100);
        ASSERT_TRUE(InflatedInPieces(stream, firstSize, pieceSize, front)) << pieceSize;
        EXPECT_TRUE(std::equal(front.begin(), front.end(), data.begin())) << pieceSize;
    }
    Bytes tooLarge(data.size() + 1);
    EXPECT_FALSE(InflatedInPieces(stream, 10, 100, tooLarge));
    const Bytes cut(stream.begin(), stream.begin() + long(stream.size() / 2));
    Bytes out(data.size());
    EXPECT_FALSE(InflatedInPieces(cut, 10, 100, out));
}

}  // namespace
