#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <tuple>

#include "core/boxed_values.h"
#include "core/object_list.h"
#include "data_test_support.h"
#include "kaz2d/image.h"
#include "kaz2d/kaz2d_data_types.h"
#include "kaz2d/kaz2d_module.h"
#include "pixmap/pixel_format.h"
#include "pixmap/pixmap.h"
#include "stream/stream_utils.h"
#include "temp_folder.h"

namespace qrv {
namespace {

using test::ByteBuilder;
using test::Bytes;
using test::DataFile;
using test::ReadProblem;

class DataObjects : public ::testing::Test {
protected:
    void SetUp() override { InitKaz2DModule(); }
    test::TempFolder folder;
};

Ref<TPixmap> Pattern(int32_t width, int32_t height, int32_t format, int seed) {
    Ref<TPixmap> pixmap = NewPixmap(width, height, format, 4);
    const auto rowBytes = static_cast<size_t>(width * BytesPerPixel(format));
    for (int32_t y = 0; y < height; ++y)
        for (size_t i = 0; i < rowBytes; ++i)
            pixmap->PixelAddress(0, y)[i] =
                static_cast<uint8_t>(seed + y * 31 + static_cast<int>(i) * 7);
    return pixmap;
}

void ExpectSamePixels(const Ref<TPixmap>& expected, const Ref<TObject>& object) {
    auto actual = std::dynamic_pointer_cast<TPixmap>(object);
    ASSERT_NE(actual, nullptr);
    ASSERT_EQ(actual->Width(), expected->Width());
    ASSERT_EQ(actual->Height(), expected->Height());
    ASSERT_EQ(actual->Format(), expected->Format());
    EXPECT_GE(actual->Capacity(), 0) << "a read pixmap owns its pixels";
    const auto rowBytes =
        static_cast<size_t>(expected->Width() * BytesPerPixel(expected->Format()));
    for (int32_t y = 0; y < expected->Height(); ++y)
        ASSERT_EQ(0,
                  std::memcmp(actual->PixelAddress(0, y), expected->PixelAddress(0, y), rowBytes))
            << "row " << y;
}

// Every type the framework registers, with a shared pixmap and a window.
Ref<TObjectList> SampleObjects() {
    auto list = std::make_shared<TObjectList>();
    list->Add(MakeText(u"sample"));
    list->Add(MakeInteger(-42));
    list->Add(MakeReal(0.5));
    Ref<TBank> bank = TBank::NewBank(3);
    bank->Data()[0] = 1, bank->Data()[1] = 2, bank->Data()[2] = 3;
    list->Add(bank);
    Ref<TPixmap> rgba = Pattern(5, 3, FormatRGBA8888, 1);
    list->Add(rgba);
    list->Add(SubRegion(Pattern(9, 7, FormatRGB888, 2), 2, 1, 4, 5));
    Ref<TImage> image = TImage::Create(5, 3, 3, IMG_MASKED | IMG_FILTERED, 255, 0, 255);
    image->handleX = 2.5f;
    image->handleY = -1.25f;
    image->pixmaps[0] = rgba;
    image->pixmaps[2] = Pattern(5, 3, FormatGrey8, 3);
    list->Add(image);
    list->Add(MakeGraphicsModeObject({640, 480, 32, 60}));
    return list;
}

void ExpectSampleObjects(const Ref<TObject>& object) {
    const Ref<TObjectList> expected = SampleObjects();
    auto list = std::dynamic_pointer_cast<TObjectList>(object);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->Count(), expected->Count());
    EXPECT_EQ(*AsText(list->At(0)), u"sample");
    EXPECT_EQ(*AsInteger(list->At(1)), -42);
    EXPECT_EQ(*AsReal(list->At(2)), 0.5);
    auto bank = std::dynamic_pointer_cast<TBank>(list->At(3));
    ASSERT_TRUE(bank && bank->Size() == 3);
    EXPECT_EQ(bank->Data()[2], 3);
    ExpectSamePixels(std::static_pointer_cast<TPixmap>(expected->At(4)), list->At(4));
    ExpectSamePixels(std::static_pointer_cast<TPixmap>(expected->At(5)), list->At(5));
    auto image = std::dynamic_pointer_cast<TImage>(list->At(6));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(std::tuple(image->width, image->height, image->flags, image->maskRed,
                         image->maskGreen, image->maskBlue, image->handleX, image->handleY),
              std::tuple(5, 3, IMG_MASKED | IMG_FILTERED, 255, 0, 255, 2.5f, -1.25f));
    ASSERT_EQ(image->FrameCount(), 3);
    EXPECT_EQ(image->pixmaps[0], list->At(4)) << "the frame shares the listed pixmap";
    EXPECT_EQ(image->pixmaps[1], nullptr);
    ExpectSamePixels(std::static_pointer_cast<TImage>(expected->At(6))->pixmaps[2],
                     image->pixmaps[2]);
    EXPECT_EQ(image->frames, std::vector<std::vector<TRendererFrame>>(3))
        << "renderer frames are made on first draw";
    auto mode = std::dynamic_pointer_cast<TGraphicsModeObject>(list->At(7));
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(mode->mode, (TGraphicsMode{640, 480, 32, 60}));
}

TEST_F(DataObjects, EveryTypeRoundTripsThroughFilesBanksAndNestedProtocols) {
    const std::u16string url = u"data::littleendian::" + (folder / "objects.bin");
    WriteObjectTo(SampleObjects(), MakeText(url));
    ExpectSampleObjects(ReadObjectFrom(MakeText(url)));
    ExpectSampleObjects(test::Decode(test::Encode(SampleObjects())));
}

// The committed sample was written by this code; reading it keeps the format from changing
// silently. DATA_SAMPLE_OUT=<path> writes a new one.
TEST_F(DataObjects, TheCommittedSampleReadsBack) {
    if (const char* out = std::getenv("DATA_SAMPLE_OUT")) {
        const Bytes bytes = test::Encode(SampleObjects());
        std::ofstream(out, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    ExpectSampleObjects(ReadObjectFrom(MakeText(u"data::" DATA_TEST_FILES u"/objects.qrvd")));
}

TEST_F(DataObjects, PixmapsOfEveryFormatAndShapeKeepTheirPixels) {
    for (int32_t format = 1; format <= 12; ++format) {
        for (auto [width, height] : {std::pair{1, 1}, {7, 3}, {0, 4}, {3, 0}}) {
            Ref<TPixmap> pixmap = Pattern(width, height, format, format);
            ExpectSamePixels(pixmap, test::Decode(test::Encode(pixmap)));
        }
    }
    // Windows of any pitch, even rows stored bottom up, are written as the pixels they show.
    Ref<TPixmap> owner = Pattern(4, 3, FormatRGB888, 9);
    Ref<TPixmap> upsideDown =
        WrapPixelMemory(owner->PixelAddress(0, 2), 4, 3, -owner->Pitch(), FormatRGB888);
    ASSERT_NE(upsideDown, nullptr);
    ExpectSamePixels(upsideDown, test::Decode(test::Encode(upsideDown)));
}

Bytes PixmapBody(int32_t width, int32_t height, int32_t format, const Bytes& packed) {
    return ByteBuilder()
        .U32(static_cast<uint32_t>(width))
        .U32(static_cast<uint32_t>(height))
        .U32(static_cast<uint32_t>(format))
        .U32(static_cast<uint32_t>(packed.size()))
        .Raw(packed)
        .bytes;
}

Bytes Deflated(size_t zeros) {
    Bytes raw(zeros, 0);
    uLongf size = compressBound(static_cast<uLong>(zeros));
    Bytes packed(size);
    compress(packed.data(), &size, raw.data(), static_cast<uLong>(zeros));
    packed.resize(size);
    return packed;
}

std::string PixmapProblem(int32_t width, int32_t height, int32_t format, const Bytes& packed) {
    return ReadProblem(
        DataFile(ByteBuilder()
                     .Object("qrv.pixmap.TPixmap", 1, PixmapBody(width, height, format, packed))
                     .bytes));
}

TEST_F(DataObjects, HostilePixmapsAreRefusedBeforeTheyCostMemory) {
    EXPECT_EQ(PixmapProblem(2, 2, FormatGrey8, Deflated(4)), "no error");
    EXPECT_EQ(PixmapProblem(2, 2, 13, Deflated(4)), "unknown pixel format 13");
    EXPECT_EQ(PixmapProblem(2, 2, 0, Deflated(4)), "unknown pixel format 0");
    EXPECT_EQ(PixmapProblem(-2, 2, FormatGrey8, Deflated(4)), "negative pixmap size");
    EXPECT_EQ(PixmapProblem(16385, 16384, FormatGrey8, Deflated(4)),
              "pixmap of 16385 x 16384 beyond the pixmap limit");
    EXPECT_EQ(PixmapProblem(65536, 65536, FormatRGBA8888, Deflated(4)),
              "pixmap of 65536 x 65536 beyond the pixmap limit");
    EXPECT_EQ(PixmapProblem(1929379843, 1509949439, FormatRGBA8888, Deflated(4)),
              "pixmap of 1929379843 x 1509949439 beyond the pixmap limit");
    // Rows are padded to 4 bytes, so a pixmap one byte wide takes 4 bytes a row.
    EXPECT_EQ(PixmapProblem(1, 67108865, FormatGrey8, Deflated(4)),
              "pixmap of 1 x 67108865 beyond the pixmap limit");
    EXPECT_EQ(PixmapProblem(1, 67108864, FormatGrey8, Deflated(4)),
              "pixmap rows too short for a pixmap of 1 x 67108864");
    // 256 MiB claimed by 1 KiB: more than deflate can ever expand.
    EXPECT_EQ(PixmapProblem(8192, 8192, FormatRGBA8888, Bytes(1024, 0)),
              "pixmap rows too short for a pixmap of 8192 x 8192");
    // A real bomb within that ratio: a megabyte of zeros for a 64 x 64 pixmap stops at the pixmap.
    EXPECT_EQ(PixmapProblem(64, 64, FormatGrey8, Deflated(1 << 20)),
              "pixmap rows hold more than the pixmap");
    EXPECT_EQ(PixmapProblem(64, 64, FormatGrey8, Deflated(100)), "pixmap rows end early");
    EXPECT_EQ(PixmapProblem(2, 2, FormatGrey8, Bytes(16, 0xAB)),
              "pixmap rows are not valid zlib data");
    // Rows whose Adler-32 is wrong or missing are damaged, not pixels to show.
    Bytes wrongChecksum = Deflated(4);
    wrongChecksum.back() ^= 1;
    EXPECT_EQ(PixmapProblem(2, 2, FormatGrey8, wrongChecksum),
              "pixmap rows are not valid zlib data");
    Bytes noChecksum = Deflated(4);
    noChecksum.resize(noChecksum.size() - 4);
    EXPECT_EQ(PixmapProblem(2, 2, FormatGrey8, noChecksum), "pixmap rows are not valid zlib data");
    Bytes trailing = Deflated(4);
    trailing.push_back(0);
    EXPECT_EQ(PixmapProblem(2, 2, FormatGrey8, trailing), "bytes after the pixmap rows");
}

// Writing the tall one back used to filter each of its empty rows: minutes of work for
// nothing, which the test's time limit catches.
TEST_F(DataObjects, EmptyPixmapsCostNothingHoweverLongTheirOtherSide) {
    const std::tuple<int32_t, int32_t> sizes[] = {{500000000, 0}, {0, 2147483647}};
    for (const auto& [width, height] : sizes) {
        const Ref<TObject> read = test::Decode(DataFile(
            ByteBuilder()
                .Object("qrv.pixmap.TPixmap", 1, PixmapBody(width, height, FormatGrey8, Deflated(0)))
                .bytes));
        const auto again = std::dynamic_pointer_cast<TPixmap>(test::Decode(test::Encode(read)));
        ASSERT_NE(again, nullptr);
        EXPECT_EQ(again->Width(), width);
        EXPECT_EQ(again->Height(), height);
    }
}

TEST_F(DataObjects, ImageFramesMustBePixmapsOrNone) {
    const Bytes head = ByteBuilder().U32(1).U32(1).U32(0).U32(0).U32(0).U32(0).U32(0).U32(0).bytes;
    EXPECT_EQ(ReadProblem(DataFile(ByteBuilder()
                                       .Object("qrv.kaz2d.TImage", 1,
                                               ByteBuilder()
                                                   .Raw(head)
                                                   .U32(1)
                                                   .Object("qrv.core.TInteger", 1, Bytes(8, 0))
                                                   .bytes)
                                       .bytes)),
              "image frame is not a pixmap");
    EXPECT_EQ(ReadProblem(DataFile(ByteBuilder()
                                       .Object("qrv.kaz2d.TImage", 1,
                                               ByteBuilder().Raw(head).U32(1).U8(3).U32(0).bytes)
                                       .bytes)),
              "reference 0 to an object still being read");
    EXPECT_EQ(ReadProblem(DataFile(
                  ByteBuilder()
                      .Object("qrv.kaz2d.TImage", 1, ByteBuilder().Raw(head).U32(50).U8(0).bytes)
                      .bytes)),
              "image frames length 50 beyond the end of the data");
}

}  // namespace
}  // namespace qrv
