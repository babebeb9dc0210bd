// The drawing slots of the shader renderer: every shape becomes queued triangles, lines or
// points with the same vertices the fixed-function renderer sends.
#include <SDL_opengl.h>

#include <array>
#include <cmath>
#include <cstring>

#include "kaz2d/gl/gl_blend_choice.h"
#include "kaz2d/gl/oval_vertices.h"
#include "kaz2d/glshader/glshader_kaz2d_driver.h"

namespace qrv {

namespace {
constexpr std::array<uint16_t, 2> kLineIndices{0, 1};
constexpr std::array<uint16_t, 1> kPointIndex{0};
// Fans with more vertices than one draw call can index are queued triangle by triangle.
constexpr size_t kLargestIndexedFan = 65536;

// A line along its major axis m and minor axis n: its start, its minor change per major step,
// the way it travels (1 or -1), and whether x is its major axis.
struct TGLLineAxes {
    float m0;
    float n0;
    float slope;
    float dir;
    bool xMajor;
};

// Where, along the major axis, a wide line's parallelogram starts or ends, for the end at
// (m, n). A line covers a pixel it leaves the diamond (|dx| + |dy| < 1/2) of: the pixel of its
// start if the start lies before the centre or inside that diamond, the pixel of its end if
// the end lies past the centre and outside. Where the parallelogram ending at the line's own
// end covers the same, the end stays there, as the fixed-function rasteriser leaves it;
// otherwise it moves along the line onto the pixel's boundary. A start on a pixel centre
// covers it where the line goes right or up, as the triangle rasteriser decides for a
// centre on an edge; an end on one is always moved.
float WideLineEnd(float m, float n, const TGLLineAxes& line, bool start) {
    const float c = std::floor(m) + 0.5f;
    const float crossing = line.n0 + (c - line.m0) * line.slope;  // where the line passes c
    const float centre = std::floor(crossing) + 0.5f;
    const float past = (m - c) * line.dir;
    const bool inside = std::abs(past) + std::abs(n - centre) < 0.5f;
    const bool covered = std::abs(crossing - centre) < 0.5f &&
                         (start ? past < 0.0f || inside : past > 0.0f && !inside);
    const bool ahead = (line.dir > 0) == line.xMajor;
    const bool reached = start ? past < 0.0f || (past == 0.0f && ahead) : past >= 0.0f;
    if (reached == covered) return m;
    return covered == start ? c - line.dir * 0.5f : c + line.dir * 0.5f;
}

}  // namespace

inline TGLShaderVertex* TGLShaderKaz2DDriver::AppendQuad(uint32_t texture, bool opaque) {
    // A quad joining a run of its like, by far the most common, goes without a call.
    if (queuedQuadsOnly && texture == queuedTexture && queuedMode == GL_TRIANGLES &&
        queued.size() + 4 <= kQueueVertices && BlendForDraw(blendMode, opaque, draw.colour[3]) == sentBlend)
        return queued.Extend(4);
    return AppendQuadAfresh(texture, opaque);
}

TGLShaderVertex* TGLShaderKaz2DDriver::AppendQuadAfresh(uint32_t texture, bool opaque) {
    const int32_t blend = BlendForDraw(blendMode, opaque, draw.colour[3]);
    if (blend != sentBlend) SendBlend(blend);
    if (queuedQuadsOnly) {
        if (texture != queuedTexture || queuedMode != GL_TRIANGLES || queued.size() + 4 > kQueueVertices) {
            Flush();
            queuedMode = GL_TRIANGLES;
            queuedTexture = texture;
        }
        return queued.Extend(4);
    }
    Admit(GL_TRIANGLES, texture, 4, kGLShaderQuadIndices.size());
    // A batch sent above starts afresh with quads alone.
    if (!queuedQuadsOnly) {
        const auto base = static_cast<uint16_t>(queued.size());
        uint16_t* index = queuedIndices.Extend(kGLShaderQuadIndices.size());
        for (const uint16_t offset : kGLShaderQuadIndices) *index++ = static_cast<uint16_t>(base + offset);
    }
    return queued.Extend(4);
}

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

// A wide line as the parallelogram the fixed-function rasteriser fills: the segment widened by
// half the width each way along the minor axis, its ends where WideLineEnd puts them. Its
// sides run through those ends, whose positions the triangle rasteriser snaps as it snaps the
// fixed-function line's, so a pixel centre exactly on a side goes the same way in both.
// Core profiles draw no wide lines themselves.
void TGLShaderKaz2DDriver::QueueWideLine(float x0, float y0, float x1, float y1) {
    const bool xMajor = std::abs(x1 - x0) >= std::abs(y1 - y0);
    TGLLineAxes line{xMajor ? x0 : y0, xMajor ? y0 : x0, 0.0f, 1.0f, xMajor};
    const float m1 = xMajor ? x1 : y1;
    if (m1 == line.m0) return;  // no length: nothing to cover
    line.slope = ((xMajor ? y1 : x1) - line.n0) / (m1 - line.m0);
    line.dir = m1 > line.m0 ? 1.0f : -1.0f;
    const float e0 = WideLineEnd(line.m0, line.n0, line, true);
    const float e1 = WideLineEnd(m1, xMajor ? y1 : x1, line, false);
    if ((e1 - e0) * line.dir <= 0.0f) return;  // within one pixel, leaving no diamond
    const float half = static_cast<float>(std::lround(lineWidth)) * 0.5f;
    const auto corner = [&](float m, float side) {
        const float n = line.n0 + (m - line.m0) * line.slope + side;
        return xMajor ? Plain(m, n) : Plain(n, m);
    };
    scratch.clear();
    scratch.push_back(corner(e0, -half));
    scratch.push_back(corner(e1, -half));
    scratch.push_back(corner(e1, half));
    scratch.push_back(corner(e0, half));
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
    std::memcpy(AppendQuad(whiteTexture, true), corners.data(), sizeof corners);
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
    std::memcpy(AppendQuad(texture, opaque), corners.data(), sizeof corners);
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
    std::memcpy(AppendQuad(blitTexture, false), corners.data(), sizeof corners);
    Flush();
    SetScissor(scissored);
    ApplyBlend(remembered);
}

}  // namespace qrv
