// The drawing slots of the shader renderer: every shape becomes queued triangles, lines or
// points with the same vertices the fixed-function renderer sends.
#include <SDL_opengl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "kaz2d/gl/oval_vertices.h"
#include "kaz2d/glshader/glshader_kaz2d_driver.h"

namespace qrv {

namespace {
constexpr std::array<uint16_t, 6> kQuadIndices{0, 1, 2, 0, 2, 3};
constexpr std::array<uint16_t, 2> kLineIndices{0, 1};
constexpr std::array<uint16_t, 1> kPointIndex{0};
// Fans with more vertices than one draw call can index are queued triangle by triangle.
constexpr size_t kLargestIndexedFan = 65536;
}  // namespace

TGLShaderVertex TGLShaderKaz2DDriver::Mapped(float lx, float ly, float tx, float ty) const {
    const TGLDrawState& d = draw;
    return {lx * d.ix + ly * d.iy + tx, lx * d.jx + ly * d.jy + ty, 0.0f, 0.0f, d.colour};
}

TGLShaderVertex TGLShaderKaz2DDriver::Plain(float x, float y) const {
    return {x, y, 0.0f, 0.0f, draw.colour};
}

void TGLShaderKaz2DDriver::PlotPixel(float x, float y) {
    const TGLShaderVertex point = Plain(x + 0.5f, y + 0.5f);
    Queue(GL_POINTS, {&point, 1}, kPointIndex);
}

void TGLShaderKaz2DDriver::StrokeLine(float x0, float y0, float x1, float y1, float tx, float ty) {
    const std::array<TGLShaderVertex, 2> ends{Mapped(x0, y0, tx + 0.5f, ty + 0.5f),
                                            Mapped(x1, y1, tx + 0.5f, ty + 0.5f)};
    // Lines of width 1 are drawn natively, exactly as fixed function draws them.
    if (!(std::lround(lineWidth) > 1)) {
        Queue(GL_LINES, ends, kLineIndices);
        return;
    }
    QueueWideLine(ends[0].x, ends[0].y, ends[1].x, ends[1].y);
}

// A wide line as the parallelogram the fixed-function rasteriser fills: the segment moved half
// the width each way along the minor axis. Where a pixel centre lies exactly on its outline,
// that rasteriser counts it to the start and not the end, and to the bottom side of a mostly
// level line and the right side of a mostly upright one; triangles decide by left and bottom
// instead. The parallelogram is nudged, by less than the subpixel step, so that both agree.
// Core profiles draw no wide lines themselves.
void TGLShaderKaz2DDriver::QueueWideLine(float x0, float y0, float x1, float y1) {
    constexpr float kNudge = 1.0f / 128.0f;
    const float half = static_cast<float>(std::lround(lineWidth)) * 0.5f;
    const float ax = x1 - x0;
    const float ay = y1 - y0;
    const bool xMajor = std::abs(ax) > std::abs(ay);
    const float dx = xMajor ? 0.0f : half;
    const float dy = xMajor ? half : 0.0f;
    float sx = xMajor ? 0.0f : kNudge;
    float sy = 0.0f;
    if (xMajor ? ax < 0 : ay > 0) {
        // Back along the line, which moves only its ends.
        const float step = kNudge / std::max(std::abs(ax), std::abs(ay));
        sx -= ax * step;
        sy -= ay * step;
    }
    scratch.clear();
    scratch.push_back(Plain(x0 - dx + sx, y0 - dy + sy));
    scratch.push_back(Plain(x1 - dx + sx, y1 - dy + sy));
    scratch.push_back(Plain(x1 + dx + sx, y1 + dy + sy));
    scratch.push_back(Plain(x0 + dx + sx, y0 + dy + sy));
    QueueScratchFan();
}

void TGLShaderKaz2DDriver::QueueScratchFan() {
    if (scratch.size() > kLargestIndexedFan) {
        constexpr std::array<uint16_t, 3> kTriangle{0, 1, 2};
        for (size_t i = 1; i + 1 < scratch.size(); ++i) {
            const std::array<TGLShaderVertex, 3> triangle{scratch[0], scratch[i], scratch[i + 1]};
            Queue(GL_TRIANGLES, triangle, kTriangle);
        }
        return;
    }
    scratchIndices.clear();
    for (size_t i = 1; i + 1 < scratch.size(); ++i) {
        scratchIndices.push_back(0);
        scratchIndices.push_back(static_cast<uint16_t>(i));
        scratchIndices.push_back(static_cast<uint16_t>(i + 1));
    }
    Queue(GL_TRIANGLES, scratch, scratchIndices);
}

void TGLShaderKaz2DDriver::FillQuad(float x0, float y0, float x1, float y1, float tx, float ty) {
    const std::array<TGLShaderVertex, 4> corners{Mapped(x0, y0, tx, ty), Mapped(x1, y0, tx, ty),
                                               Mapped(x1, y1, tx, ty), Mapped(x0, y1, tx, ty)};
    Queue(GL_TRIANGLES, corners, kQuadIndices);
}

void TGLShaderKaz2DDriver::QueueTexturedQuad(uint32_t texture, bool opaque, float s0, float t0,
                                           float s1, float t1, float x0, float y0, float x1,
                                           float y1, float tx, float ty) {
    // Made in registers from a copy of the drawing state (no store into the queue can change
    // it), then written straight into the queue: sprites are drawn by the thousand.
    const TGLDrawState d = draw;
    const auto corner = [&d, tx, ty](float lx, float ly, float s, float t) {
        return TGLShaderVertex{lx * d.ix + ly * d.iy + tx, lx * d.jx + ly * d.jy + ty, s, t, d.colour};
    };
    const std::array<TGLShaderVertex, 4> corners{corner(x0, y0, s0, t0), corner(x1, y0, s1, t0),
                                               corner(x1, y1, s1, t1), corner(x0, y1, s0, t1)};
    std::memcpy(Append(GL_TRIANGLES, texture, opaque, 4, kQuadIndices), corners.data(), sizeof corners);
}

void TGLShaderKaz2DDriver::FillOval(float x0, float y0, float x1, float y1, float tx, float ty) {
    scratch.clear();
    ForEachOvalVertex(x0, y0, x1, y1,
                      [&](float x, float y) { scratch.push_back(Mapped(x, y, tx, ty)); });
    QueueScratchFan();
}

void TGLShaderKaz2DDriver::FillPolygon(const std::vector<float>& points, float handleX,
                                     float handleY, float originX, float originY) {
    if (points.size() < 6 || points.size() % 2 != 0) return;
    scratch.clear();
    for (size_t i = 0; i < points.size(); i += 2)
        scratch.push_back(Mapped(handleX + points[i], handleY + points[i + 1], originX, originY));
    QueueScratchFan();
}

void TGLShaderKaz2DDriver::BlitPixmap(const Ref<TPixmap>& pixmap, int32_t x, int32_t y) {
    const Ref<TPixmap> rgba = pixmap ? pixmap->ConvertedTo(FormatRGBA8888) : nullptr;
    if (!rgba || rgba->Width() <= 0 || rgba->Height() <= 0 || program.name == 0) return;
    Flush();
    const int32_t remembered = blendMode;
    const TGLScissor scissored = Scissor();
    ApplyBlend(BLEND_SOLID);
    SetScissor({});  // pixmaps are copied whatever the viewport
    glBindTexture(GL_TEXTURE_2D, blitTexture);
    boundTexture = blitTexture;
    // The converted copy has tightly packed rows.
    glTexImage2D(GL_TEXTURE_2D, 0, TightRows() ? GL_RGBA : GL_RGBA8, rgba->Width(), rgba->Height(),
                 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba->Pixels());
    const float left = static_cast<float>(x);
    const float top = static_cast<float>(y);
    const float right = left + static_cast<float>(rgba->Width());
    const float bottom = top + static_cast<float>(rgba->Height());
    const std::array<uint8_t, 4> opaque{255, 255, 255, 255};
    const std::array<TGLShaderVertex, 4> corners{
        TGLShaderVertex{left, top, 0, 0, opaque}, {right, top, 1, 0, opaque},
        {right, bottom, 1, 1, opaque}, {left, bottom, 0, 1, opaque}};
    Queue(GL_TRIANGLES, blitTexture, false, corners, kQuadIndices);
    Flush();
    SetScissor(scissored);
    ApplyBlend(remembered);
}

}  // namespace qrv
