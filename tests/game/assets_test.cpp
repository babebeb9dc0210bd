// The game's eighteen embedded files, read back through the registry and the project's own
// loaders exactly as the game opens them.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "core/text.h"
#include "pixmap/freetype_font.h"
#include "pixmap/pixmap_loader.h"
#include "stream/embedded_files.h"

namespace zorvak_test {
void RegisterAssetFiles();
}

namespace {

using namespace qrv;

enum class TKind { ProgressiveJpeg, PalettePng, RgbPng, RgbaPng };

struct TAsset {
    const char* name;
    int32_t width;
    int32_t height;
    TKind kind;
};

const TAsset PICTURES[] = {
    {"back.jpg", 512, 512, TKind::ProgressiveJpeg}, {"help.jpg", 512, 512, TKind::ProgressiveJpeg},
    {"but1.png", 185, 53, TKind::RgbPng},           {"e0.png", 78, 46, TKind::RgbaPng},
    {"e1.png", 78, 46, TKind::RgbaPng},             {"e2.png", 78, 46, TKind::RgbaPng},
    {"s0.png", 512, 512, TKind::PalettePng},        {"s1.png", 512, 512, TKind::PalettePng},
    {"s2.png", 512, 512, TKind::PalettePng},        {"s3.png", 512, 512, TKind::PalettePng},
    {"s4.png", 512, 512, TKind::PalettePng},        {"s5.png", 512, 512, TKind::PalettePng},
    {"s6.png", 512, 512, TKind::PalettePng},        {"tgame.png", 512, 512, TKind::RgbaPng},
    {"win.jpg", 400, 226, TKind::ProgressiveJpeg},  {"fail.jpg", 400, 226, TKind::ProgressiveJpeg},
    {"point.png", 50, 51, TKind::RgbaPng},
};

class GameAssets : public testing::Test {
protected:
    static void SetUpTestSuite() {
        InitFreeTypeModule();
        zorvak_test::RegisterAssetFiles();
    }
};

std::vector<uint8_t> EmbeddedBytes(const char* name) {
    const TEmbeddedFile* file = FindEmbeddedFile(FromUtf8(name));
    if (!file) return {};
    return std::vector<uint8_t>(file->data, file->data + file->size);
}

uint32_t BigEndian32(const uint8_t* bytes) {
    return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 |
           bytes[3];
}

// The frame header of a JPEG: its start-of-frame marker and component count.
struct TJpegFrame {
    uint8_t marker = 0;
    int components = 0;
};

std::optional<TJpegFrame> FindJpegFrame(const std::vector<uint8_t>& bytes) {
    if (bytes.size() < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8) return std::nullopt;
    size_t at = 2;
    while (at + 4 <= bytes.size()) {
        if (bytes[at] != 0xFF) return std::nullopt;
        const uint8_t marker = bytes[at + 1];
        const size_t length = size_t(bytes[at + 2]) << 8 | bytes[at + 3];
        const bool startOfFrame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 &&
                                  marker != 0xC8 && marker != 0xCC;
        if (startOfFrame && at + 10 <= bytes.size()) return TJpegFrame{marker, bytes[at + 9]};
        at += 2 + length;
    }
    return std::nullopt;
}

// The PNG's colour type and bit depth from IHDR, and the names of all its chunks.
struct TPngLayout {
    int colorType = -1;
    int bitDepth = 0;
    std::vector<std::string> chunks;
};

TPngLayout ReadPngLayout(const std::vector<uint8_t>& bytes) {
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    TPngLayout layout;
    if (bytes.size() < 8 || std::memcmp(bytes.data(), signature, 8) != 0) return layout;
    for (size_t at = 8; at + 8 <= bytes.size();) {
        const uint32_t length = BigEndian32(&bytes[at]);
        std::string name(reinterpret_cast<const char*>(&bytes[at + 4]), 4);
        if (name == "IHDR" && at + 8 + 13 <= bytes.size()) {
            layout.bitDepth = bytes[at + 16];
            layout.colorType = bytes[at + 17];
        }
        layout.chunks.push_back(name);
        at += 12 + size_t(length);
    }
    return layout;
}

bool HasChunk(const TPngLayout& layout, const char* name) {
    for (const std::string& chunk : layout.chunks) {
        if (chunk == name) return true;
    }
    return false;
}

int32_t CountPureBlack(const TPixmap& pixmap) {
    int32_t count = 0;
    for (int32_t y = 0; y < pixmap.Height(); ++y) {
        for (int32_t x = 0; x < pixmap.Width(); ++x) {
            count += (pixmap.GetPixelARGB(x, y) & 0xFFFFFF) == 0;
        }
    }
    return count;
}

void ExpectEncoding(const TAsset& asset, const std::vector<uint8_t>& bytes) {
    if (asset.kind == TKind::ProgressiveJpeg) {
        const std::optional<TJpegFrame> frame = FindJpegFrame(bytes);
        ASSERT_TRUE(frame) << "no frame header found";
        EXPECT_EQ(frame->marker, 0xC2) << "expected a progressive (SOF2) frame";
        EXPECT_EQ(frame->components, 3);
        return;
    }
    const TPngLayout layout = ReadPngLayout(bytes);
    const int expectedType = asset.kind == TKind::PalettePng ? 3 : asset.kind == TKind::RgbPng ? 2 : 6;
    EXPECT_EQ(layout.colorType, expectedType) << "PNG colour type";
    EXPECT_EQ(layout.bitDepth, 8);
    EXPECT_FALSE(HasChunk(layout, "tRNS")) << "pictures without alpha must carry no transparency";
    ASSERT_FALSE(layout.chunks.empty());
    EXPECT_EQ(layout.chunks.back(), "IEND");
}

TEST_F(GameAssets, EveryPictureHasItsEncodingSizeAndKind) {
    for (const TAsset& asset : PICTURES) {
        SCOPED_TRACE(asset.name);
        const std::vector<uint8_t> bytes = EmbeddedBytes(asset.name);
        ASSERT_FALSE(bytes.empty()) << "not embedded";
        ExpectEncoding(asset, bytes);

        Ref<TPixmap> pixmap = PixmapFromUrl(u"incbin::" + FromUtf8(asset.name));
        ASSERT_TRUE(pixmap) << "the loaders refused it";
        EXPECT_EQ(pixmap->Width(), asset.width);
        EXPECT_EQ(pixmap->Height(), asset.height);
        const bool alpha = asset.kind == TKind::RgbaPng;
        EXPECT_EQ(AlphaBits(pixmap->Format()), alpha ? 8 : 0)
            << "decoded as format " << pixmap->Format();
        // Pictures without alpha are loaded masked: pure black would turn transparent.
        if (!alpha) {
            EXPECT_EQ(CountPureBlack(*pixmap), 0) << "pixels of exactly (0, 0, 0)";
        }
    }
}

TEST_F(GameAssets, PicturesWithAlphaAreTransparentSomewhere) {
    for (const TAsset& asset : PICTURES) {
        if (asset.kind != TKind::RgbaPng) continue;
        SCOPED_TRACE(asset.name);
        Ref<TPixmap> pixmap = PixmapFromUrl(u"incbin::" + FromUtf8(asset.name));
        ASSERT_TRUE(pixmap);
        int32_t transparent = 0;
        for (int32_t y = 0; y < pixmap->Height(); ++y) {
            for (int32_t x = 0; x < pixmap->Width(); ++x) {
                transparent += pixmap->GetPixelARGB(x, y) >> 24 < 255;
            }
        }
        EXPECT_GT(transparent, 0) << "an alpha channel that is opaque everywhere";
    }
}

TEST_F(GameAssets, FontHasEveryRussianLetterAtBothSizes) {
    std::u16string alphabet = u"Ёё";
    for (char16_t letter = u'А'; letter <= u'я'; ++letter) alphabet += letter;
    ASSERT_EQ(alphabet.size(), 66u);
    for (int32_t size : {18, 30}) {
        Ref<TFreeTypeFont> font = OpenFreeTypeFont(u"incbin::b2.ttf", size, 1);
        ASSERT_TRUE(font) << "b2.ttf at " << size;
        EXPECT_TRUE(font->IsMemoryFace());
        for (char16_t letter : alphabet) {
            const int32_t index = font->GlyphIndexOf(letter);
            ASSERT_GE(index, 0) << "no glyph for " << ToUtf8(std::u16string(1, letter));
            Ref<TGlyph> glyph = font->GlyphAt(index);
            ASSERT_TRUE(glyph);
            EXPECT_TRUE(glyph->GlyphPixmap()) << ToUtf8(std::u16string(1, letter)) << " is blank";
            EXPECT_GT(glyph->AdvanceWidth(), 0.0f);
        }
    }
}

}  // namespace
