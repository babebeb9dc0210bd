#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "kaz2d/graphics.h"
#include "pixmap/pixmap.h"

namespace qrv::testing {

// A 512 x 512 Kaz2D window on the test display, drawn by the renderer the test parameter names
// ("opengl" or "glcore"), and a temporary folder for files the test writes, removed afterwards.
class Kaz2DWindow : public ::testing::TestWithParam<std::string> {
public:
    static std::vector<std::string> Renderers() { return {"opengl", "glcore"}; }

protected:
    static constexpr int32_t kSize = 512;

    bool FixedFunction() const { return GetParam() == "opengl"; }

    void SetUp() override;
    void TearDown() override;

    // The back-buffer pixel at window position (x, y) as 0xRRGGBB.
    static uint32_t PixelAt(int32_t x, int32_t y);
    // A w x h RGBA pixmap of one colour (0xAARRGGBB).
    static Ref<TPixmap> SolidPixmap(int32_t w, int32_t h, uint32_t argb);
    // Compares the window rectangle at (x, y) with the expected picture, each channel within
    // tolerance. On a difference both pictures are saved as PNG files and named in the failure.
    void ExpectScreenMatches(int32_t x, int32_t y, const Ref<TPixmap>& expected,
                             int32_t tolerance = 0);
    std::u16string PathOf(const std::string& name) const;

    Ref<TGraphics> graphics;
    std::filesystem::path folder;
};

}  // namespace qrv::testing

// Runs every test of a suite built on Kaz2DWindow once on each renderer.
#define KAZ2D_TEST_ON_EACH_RENDERER(suite)                                               \
    INSTANTIATE_TEST_SUITE_P(Renderers, suite,                                           \
                             ::testing::ValuesIn(::qrv::testing::Kaz2DWindow::Renderers()), \
                             [](const auto& info) { return info.param; })
