// Why a picture gave no pixmap: LastFailure names the URL as given and the cause, whether the
// stream did not open, no loader knew the data, or the loader that knew it could not decode it.
#include <gtest/gtest.h>

#include <string>

#include "core/failure.h"
#include "core/text.h"
#include "pixmap/jpeg_loader.h"
#include "pixmap/pixmap_loader.h"
#include "pixmap/pixmap_module.h"
#include "pixmap/pixmap_save.h"
#include "pixmap/png_loader.h"
#include "test_files.h"

namespace {

using namespace qrv;
using namespace pixmap_test;

class PictureLoadFailure : public ::testing::Test {
protected:
    void SetUp() override {
        InitPixmapModule();
        ClearLastFailure();
    }

    // The reason PixmapFromUrl gives for the bytes saved under the name.
    std::string ReasonFor(const std::string& name, const Bytes& bytes) {
        WriteFileBytes(folder.Path(name), bytes);
        EXPECT_EQ(PixmapFromUrl(folder.Path(name)), nullptr) << name << " decoded";
        return LastFailureUtf8();
    }

    std::string Quoted(const std::string& name) const {
        std::string quoted = "\"";  // appended: GCC 12 warns wrongly about "\"" + std::string&&
        quoted += ToUtf8(folder.Path(name));
        quoted += '"';
        return quoted;
    }

    // A saved 64 x 48 picture with detail, so its image data spans many bytes.
    Bytes Saved(bool png) {
        Ref<TPixmap> picture = NewPixmap(64, 48, FormatRGB888, 4);
        for (int32_t y = 0; y < 48; ++y)
            for (int32_t x = 0; x < 64; ++x) picture->SetPixelARGB(x, y, 0xFF000000u | (x * 977u + y * 131u) * 2654435761u >> 8);
        const std::u16string path = folder.Path(png ? "good.png" : "good.jpg");
        EXPECT_TRUE(png ? SavePixmapPNG(picture, path, 6) : SavePixmapJPEG(picture, path, 85, false));
        return ReadFileBytes(path);
    }

    TTempFolder folder;
};

TEST_F(PictureLoadFailure, AMissingFileGivesTheStreamsReason) {
    EXPECT_EQ(PixmapFromUrl(folder.Path("ship.png")), nullptr);
    EXPECT_EQ(LastFailureUtf8(), Quoted("ship.png") + ": no such file");
    EXPECT_EQ(PixmapFromUrl(u"incbin::ship.png"), nullptr);
    EXPECT_EQ(LastFailureUtf8(), "\"incbin::ship.png\": no embedded file of that name");
}

TEST_F(PictureLoadFailure, DataThatEndsEarlySaysWhere) {
    const Bytes png = Saved(true);
    ASSERT_GT(png.size(), 400u);
    // In the header chunks libpng reads, and in the image data read past it.
    for (size_t cut : {size_t{20}, png.size() / 2, png.size() - 6}) {
        EXPECT_EQ(ReasonFor("ship.png", Bytes(png.begin(), png.begin() + cut)),
                  Quoted("ship.png") + ": truncated after " + std::to_string(cut) + " bytes");
    }
    // A JPEG cut in its tables has no picture to give (one cut in its scan decodes as far as
    // it goes).
    const Bytes jpeg = Saved(false);
    EXPECT_EQ(ReasonFor("ship.jpg", Bytes(jpeg.begin(), jpeg.begin() + 100)),
              Quoted("ship.jpg") + ": truncated after 100 bytes");
}

TEST_F(PictureLoadFailure, DamagedDataGivesTheDecodersMessage) {
    Bytes png = Saved(true);
    png[20] ^= 0x01;  // the header chunk's width: its checksum no longer matches
    EXPECT_EQ(ReasonFor("ship.png", png), Quoted("ship.png") + ": damaged PNG: IHDR: CRC error");
}

TEST_F(PictureLoadFailure, DataNoLoaderKnowsIsNoPictureOfAnyKnownKind) {
    Bytes noise(700);
    uint32_t state = 7;
    for (uint8_t& byte : noise) byte = static_cast<uint8_t>((state = state * 1103515245u + 12345u) >> 24);
    EXPECT_EQ(ReasonFor("noise.bin", noise), Quoted("noise.bin") + ": not a picture of any known kind");
    const std::string text = "Remember: the spies move at night.\n";
    EXPECT_EQ(ReasonFor("notes.png", Bytes(text.begin(), text.end())),
              Quoted("notes.png") + ": not a picture of any known kind");
    // One decoder asked directly says which kind it wanted.
    EXPECT_EQ(DecodeJPEG(folder.Path("notes.png")), nullptr);
    EXPECT_EQ(LastFailureUtf8(), Quoted("notes.png") + ": not a JPEG picture");
}

TEST_F(PictureLoadFailure, APictureOverTheMemoryLimitSaysItsSize) {
    const Bytes png = Saved(true);
    SetPictureMemoryLimit(64 * 48 * 4 - 1);
    const std::string reason = ReasonFor("big.png", png);
    SetPictureMemoryLimit(DEFAULT_PICTURE_MEMORY_LIMIT);
    EXPECT_EQ(reason, Quoted("big.png") + ": 64 x 48 pixels, over the picture memory limit");
}

TEST_F(PictureLoadFailure, ASuccessfulLoadLeavesTheLastReason) {
    const std::string reason = ReasonFor("notes.png", Bytes{'h', 'i'});
    WriteFileBytes(folder.Path("good.png"), Saved(true));
    EXPECT_NE(PixmapFromUrl(folder.Path("good.png")), nullptr);
    EXPECT_EQ(LastFailureUtf8(), reason);
}

}  // namespace
