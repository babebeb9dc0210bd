#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/object_list.h"
#include "data_test_support.h"
#include "kaz2d/image.h"
#include "kaz2d/kaz2d_module.h"
#include "pixmap/pixel_format.h"
#include "pixmap/pixmap.h"
#include "pixmap/pixmap_save.h"
#include "stream/embedded_files.h"
#include "stream/stream_utils.h"
#include "temp_folder.h"

// Freed memory is handed out again at once, as it is without the sanitizer: an object that a
// write makes and frees leaves its address to the next one.
extern "C" const char* __asan_default_options();
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=0";
}

namespace qrv {
namespace {

constexpr uint32_t kColours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF, 0xFF00FF};

// One-colour pictures as embedded files: their images keep no pixmap, so writing one decodes
// its frame on the spot.
std::u16string EmbeddedPicture(const test::TempFolder& folder, int index) {
    static std::vector<std::vector<uint8_t>> files(std::size(kColours));
    const std::u16string name = u"written_identity_" + FromLatin1(std::to_string(index));
    if (files[index].empty()) {
        Ref<TPixmap> pixmap = NewPixmap(8, 8, FormatRGB888, 4);
        for (int32_t y = 0; y < 8; ++y)
            for (int32_t x = 0; x < 8; ++x) pixmap->SetPixelARGB(x, y, 0xFF000000 | kColours[index]);
        const std::u16string path = folder / "picture.png";
        EXPECT_TRUE(SavePixmapPNG(pixmap, path, 6));
        files[index] = LoadBytes(MakeText(path));
        (void)RegisterEmbeddedFile(name, files[index].data(),
                                   static_cast<int32_t>(files[index].size()));
    }
    return u"incbin::" + name;
}

TEST(WrittenIdentity, ImagesWhoseFramesAreDecodedWhileWrittenKeepTheirOwnPixels) {
    InitKaz2DModule();
    test::TempFolder folder;
    constexpr int kCount = 24;
    auto images = std::make_shared<TObjectList>();
    for (int i = 0; i < kCount; ++i) {
        const int colour = i % static_cast<int>(std::size(kColours));
        images->Add(TImage::Load(MakeText(EmbeddedPicture(folder, colour)), 0, 0, 0, 0));
        ASSERT_NE(images->At(i), nullptr);
    }
    const auto read = std::dynamic_pointer_cast<TObjectList>(test::Decode(test::Encode(images)));
    ASSERT_NE(read, nullptr);
    std::set<Ref<TPixmap>> pixmaps;
    for (int i = 0; i < kCount; ++i) {
        const auto image = std::dynamic_pointer_cast<TImage>(read->At(i));
        ASSERT_TRUE(image && image->pixmaps[0]) << "image " << i;
        pixmaps.insert(image->pixmaps[0]);
        EXPECT_EQ(image->pixmaps[0]->GetPixelARGB(3, 3),
                  0xFF000000 | kColours[i % std::size(kColours)])
            << "image " << i;
    }
    EXPECT_EQ(pixmaps.size(), size_t{kCount}) << "every image was written with its own pixmap";
}

}  // namespace
}  // namespace qrv
