#include "tests/kaz2d/kaz2d_window.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "core/text.h"
#include "framework/framework.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/kaz2d_module.h"
#include "kaz2d/renderer_table.h"
#include "pixmap/pixmap_save.h"
#include "system/application.h"

namespace qrv::testing {

namespace {

int32_t Channel(uint32_t argb, int shift) {
    return static_cast<int32_t>((argb >> shift) & 0xFF);
}

// The first pixel whose channels differ by more than the tolerance, as a message; empty when
// the pictures match.
std::string FirstDifference(const TPixmap& actual, const TPixmap& expected, int32_t tolerance) {
    if (actual.Width() != expected.Width() || actual.Height() != expected.Height())
        return "sizes differ";
    for (int32_t y = 0; y < actual.Height(); ++y) {
        for (int32_t x = 0; x < actual.Width(); ++x) {
            const uint32_t a = actual.GetPixelARGB(x, y);
            const uint32_t e = expected.GetPixelARGB(x, y);
            for (int shift : {0, 8, 16}) {
                if (std::abs(Channel(a, shift) - Channel(e, shift)) > tolerance) {
                    char text[96];
                    std::snprintf(text, sizeof text, "at (%d, %d) got %06X, expected %06X", x, y,
                                  a & 0xFFFFFFu, e & 0xFFFFFFu);
                    return text;
                }
            }
        }
    }
    return {};
}

}  // namespace

void Kaz2DWindow::SetUp() {
    folder = std::filesystem::temp_directory_path() /
             ("kaz2d_test_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    SetApplicationTitle(u"Kaz2D test");
    InitRendererModules();
    ASSERT_TRUE(SelectRenderer(GetParam())) << "no " << GetParam() << " renderer here";
    graphics = OpenGraphicsWindow(kSize, kSize, 0, 0, 0);
    ASSERT_TRUE(graphics) << "no " << GetParam() << " window on the test display";
}

void Kaz2DWindow::TearDown() {
    CloseGraphicsWindow();
    // Pictures of a failed comparison stay for inspection.
    if (!HasFailure()) std::filesystem::remove_all(folder);
}

uint32_t Kaz2DWindow::PixelAt(int32_t x, int32_t y) {
    const Ref<TPixmap> pixel = GrabPixmapRect(x, y, 1, 1);
    return pixel ? pixel->GetPixelARGB(0, 0) & 0xFFFFFFu : 0xDEADBEEFu;
}

Ref<TPixmap> Kaz2DWindow::SolidPixmap(int32_t w, int32_t h, uint32_t argb) {
    Ref<TPixmap> pixmap = NewPixmap(w, h, FormatRGBA8888, 4);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) pixmap->SetPixelARGB(x, y, argb);
    return pixmap;
}

void Kaz2DWindow::ExpectScreenMatches(int32_t x, int32_t y, const Ref<TPixmap>& expected,
                                      int32_t tolerance) {
    ASSERT_TRUE(expected);
    const Ref<TPixmap> actual = GrabPixmapRect(x, y, expected->Width(), expected->Height());
    ASSERT_TRUE(actual);
    const std::string difference = FirstDifference(*actual, *expected, tolerance);
    if (difference.empty()) return;
    // A parameterised test's name ends in "/renderer", which is no file name.
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(name.begin(), name.end(), '/', '-');
    const std::u16string actualPath = PathOf(name + "-actual.png");
    const std::u16string expectedPath = PathOf(name + "-expected.png");
    const bool saved = SavePixmapPNG(actual, actualPath, 6) && SavePixmapPNG(expected, expectedPath, 6);
    ADD_FAILURE() << "picture differs " << difference << "; "
                  << (saved ? "saved " + ToUtf8(actualPath) + " and " + ToUtf8(expectedPath)
                            : std::string("could not save the pictures"));
}

std::u16string Kaz2DWindow::PathOf(const std::string& name) const {
    return FromUtf8((folder / name).string());
}

}  // namespace qrv::testing
