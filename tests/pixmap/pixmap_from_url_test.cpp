#include "pixmap/pixmap_loader.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "memory_stream.h"
#include "pixmap/jpeg_loader.h"
#include "pixmap/pixmap_module.h"
#include "pixmap/pixmap_save.h"
#include "pixmap/png_loader.h"
#include "stream/embedded_files.h"
#include "stream/stream_exceptions.h"
#include "test_files.h"

namespace {

using namespace qrv;
using namespace pixmap_test;

// A loader whose answer the test decides; it records where the stream stood when asked.
class TScriptedLoader final : public TPixmapLoader {
public:
    explicit TScriptedLoader(std::function<Ref<TPixmap>(TStream&)> answer)
        : answer(std::move(answer)) {}
    Ref<TPixmap> LoadFromStream(const Ref<TStream>& stream) override {
        positionsSeen.push_back(stream->Position());
        return answer(*stream);
    }
    std::vector<int32_t> positionsSeen;

private:
    std::function<Ref<TPixmap>(TStream&)> answer;
};

Ref<TPixmap> SmallPicture() {
    Ref<TPixmap> pixmap = NewPixmap(3, 2, FormatRGB888, 4);
    pixmap->SetPixelARGB(2, 1, 0xFF405060);
    return pixmap;
}

class PixmapFromUrlTest : public ::testing::Test {
protected:
    void SetUp() override { InitPixmapModule(); }
    TTempFolder folder;
};

TEST_F(PixmapFromUrlTest, JpegLoaderIsAskedFirst) {
    InitPixmapModule();  // a second call adds nothing
    TPixmapLoader* first = FirstPixmapLoader();
    ASSERT_TRUE(dynamic_cast<TPixmapLoaderJPG*>(first));
    ASSERT_TRUE(dynamic_cast<TPixmapLoaderPNG*>(first->Next()));
    EXPECT_EQ(first->Next()->Next(), nullptr);
}

TEST_F(PixmapFromUrlTest, PngIsFoundAfterTheJpegLoaderRefusedIt) {
    std::u16string path = folder.Path("picture.png");
    ASSERT_TRUE(SavePixmapPNG(SmallPicture(), path, 6));
    Ref<TPixmap> pixmap = PixmapFromUrl(path);
    ASSERT_TRUE(pixmap);
    EXPECT_EQ(pixmap->GetPixelARGB(2, 1), 0xFF405060u);

    std::u16string jpeg = folder.Path("picture.jpg");
    ASSERT_TRUE(SavePixmapJPEG(SmallPicture(), jpeg, 90));
    EXPECT_TRUE(PixmapFromUrl(jpeg));
}

TEST_F(PixmapFromUrlTest, PicturesDecodeFromEmbeddedFiles) {
    std::u16string path = folder.Path("picture.jpg");
    ASSERT_TRUE(SavePixmapJPEG(SmallPicture(), path, 90));
    static const Bytes jpeg = ReadFileBytes(path);  // embedded bytes must outlive the registry
    ASSERT_TRUE(RegisterEmbeddedFile(u"pixmap-test.jpg", jpeg.data(), int32_t(jpeg.size())));
    Ref<TPixmap> pixmap = PixmapFromUrl(u"incbin::pixmap-test.jpg");
    ASSERT_TRUE(pixmap);
    EXPECT_EQ(pixmap->Width(), 3);
    EXPECT_EQ(pixmap->Format(), FormatRGB888);
}

TEST_F(PixmapFromUrlTest, NothingDecodesFromEmptyOrMissingFiles) {
    std::u16string empty = folder.Path("empty");
    WriteFileBytes(empty, {});
    EXPECT_FALSE(PixmapFromUrl(empty));
    EXPECT_FALSE(PixmapFromUrl(folder.Path("missing")));
    EXPECT_FALSE(PixmapFromUrl(u""));
}

TEST_F(PixmapFromUrlTest, EveryLoaderStartsWhereTheStreamStood) {
    std::u16string path = folder.Path("picture.png");
    ASSERT_TRUE(SavePixmapPNG(SmallPicture(), path, 6));
    Bytes data = {'h', 'e', 'a', 'd'};
    Bytes png = ReadFileBytes(path);
    data.insert(data.end(), png.begin(), png.end());
    auto stream = std::make_shared<TTestStream>(data);
    stream->position = 4;

    // The newest loader reads and then fails as a stream failure does: only a refusal.
    TScriptedLoader failing([](TStream& s) -> Ref<TPixmap> {
        uint8_t scratch[16];
        s.Read(scratch, sizeof scratch);
        throw TStreamReadException();
    });
    Ref<TPixmap> pixmap = PixmapFromUrl(stream);
    ASSERT_TRUE(pixmap);
    EXPECT_EQ(pixmap->GetPixelARGB(2, 1), 0xFF405060u);
    EXPECT_EQ(failing.positionsSeen, std::vector<int32_t>{4});
}

TEST_F(PixmapFromUrlTest, OtherExceptionsReachTheCaller) {
    TScriptedLoader broken([](TStream&) -> Ref<TPixmap> { throw std::logic_error("broken"); });
    auto stream = std::make_shared<TTestStream>(Bytes{1, 2, 3});
    EXPECT_THROW((void)PixmapFromUrl(stream), std::logic_error);
}

TEST_F(PixmapFromUrlTest, FirstPixmapGivenEndsTheSearch) {
    int32_t laterCalls = 0;
    TScriptedLoader later([&](TStream&) -> Ref<TPixmap> { ++laterCalls; return nullptr; });
    TScriptedLoader newest([](TStream&) { return SmallPicture(); });
    EXPECT_TRUE(PixmapFromUrl(std::make_shared<TTestStream>(Bytes{1})));
    EXPECT_EQ(laterCalls, 0);
}

TEST_F(PixmapFromUrlTest, StreamThatCannotSeekIsRefusedUnread) {
    TScriptedLoader loader([](TStream&) { return SmallPicture(); });
    EXPECT_FALSE(PixmapFromUrl(std::make_shared<TTestStream>(Bytes{1, 2}, false)));
    EXPECT_TRUE(loader.positionsSeen.empty());
}

TEST_F(PixmapFromUrlTest, DestroyedLoadersLeaveTheList) {
    TPixmapLoader* before = FirstPixmapLoader();
    {
        TScriptedLoader temporary([](TStream&) { return SmallPicture(); });
        EXPECT_EQ(FirstPixmapLoader(), &temporary);
    }
    EXPECT_EQ(FirstPixmapLoader(), before);
}

TEST_F(PixmapFromUrlTest, FailedWritesMakeSavingGiveFalse) {
    auto stream = std::make_shared<TTestStream>();
    stream->failWrites = true;
    EXPECT_FALSE(SavePixmapPNG(SmallPicture(), stream, 6));
    EXPECT_FALSE(SavePixmapJPEG(SmallPicture(), stream, 90));
    // A small picture fits the file's buffer: a full disk shows only when the file closes.
    EXPECT_FALSE(SavePixmapPNG(SmallPicture(), u"/dev/full", 6));
    EXPECT_FALSE(SavePixmapJPEG(SmallPicture(), u"/dev/full", 90));

    // A stream given as the URL stays open and receives the picture.
    auto memory = std::make_shared<TTestStream>();
    ASSERT_TRUE(SavePixmapPNG(SmallPicture(), memory, 6));
    memory->position = 0;
    Ref<TPixmap> back = DecodePNG(memory);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->GetPixelARGB(2, 1), 0xFF405060u);
}

}  // namespace
