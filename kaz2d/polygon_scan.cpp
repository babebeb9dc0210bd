#include "kaz2d/polygon_scan.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "pixmap/pixel_format.h"

namespace qrv {

namespace {

constexpr int kChannels = 4;  // x, y, u, v
constexpr int kX = 0;
constexpr int kY = 1;
constexpr int kU = 2;
constexpr int kV = 3;

constexpr int kWaiting = 0;
constexpr int kActive = 1;
constexpr int kFinished = 2;

// Truncation toward zero, saturated at half a billion pixels so that huge or NaN coordinates
// stay defined and differences of two results cannot overflow.
int32_t Truncate(float value) {
    constexpr float kLimit = 1 << 29;
    if (std::isnan(value)) return 0;
    return static_cast<int32_t>(std::clamp(value, -kLimit, kLimit));
}

struct TEdge {
    std::array<float, kChannels> current{};
    std::array<float, kChannels> delta{};
    int index = 0;
};

// One polygon during scan conversion. A polygon with the wrong winding is read backwards
// instead of being copied in reverse.
struct rpoly {
    const TPixmap* pixmap = nullptr;
    const float* vertexData = nullptr;
    int channels = kChannels;
    int vertexCount = 0;
    int floatCount = 0;
    bool reversed = false;
    TEdge left;
    TEdge right;
    int32_t topY = 0;
    int state = kFinished;

    float Channel(int vertex, int channel) const {
        const int stored = reversed ? vertexCount - 1 - vertex : vertex;
        return vertexData[stored * channels + channel];
    }
    int32_t TruncatedY(int vertex) const { return Truncate(Channel(vertex, kY)); }
    int Step(int vertex, int direction) const {
        return (vertex + direction + vertexCount) % vertexCount;
    }
};

// The edges walk down the left side backwards and the right side forwards; that needs the
// vertices clockwise on screen (y down). Turns that all come out zero or positive (in truncated
// cross products) mean the other winding.
bool NeedsReversal(const rpoly& p) {
    const float x0 = p.Channel(0, kX);
    const float y0 = p.Channel(0, kY);
    for (int i = 2; i < p.vertexCount; ++i) {
        const float cross = (p.Channel(i, kX) - p.Channel(i - 1, kX)) * (p.Channel(i - 1, kY) - y0) -
                            (p.Channel(i - 1, kX) - x0) * (p.Channel(i, kY) - p.Channel(i - 1, kY));
        if (Truncate(cross) < 0) return false;
    }
    return true;
}

rpoly Begin(std::span<const float> vertices, const TPixmap* pixmap) {
    rpoly p;
    p.pixmap = pixmap;
    p.vertexData = vertices.data();
    p.vertexCount = static_cast<int>(vertices.size() / kChannels);
    p.floatCount = p.vertexCount * kChannels;
    if (p.vertexCount == 0) return p;
    p.reversed = NeedsReversal(p);
    int top = 0;
    for (int i = 1; i < p.vertexCount; ++i)
        if (p.TruncatedY(i) < p.TruncatedY(top)) top = i;
    p.left.index = top;
    p.right.index = top;
    p.topY = p.TruncatedY(top);
    p.state = kWaiting;
    return p;
}

// Moves the edge onto the side that scanline y crosses once y reaches the edge's end vertex,
// with its values at the middle of the scanline. False when the walk comes round to where it
// started: the polygon has no side left below y.
bool AdvanceEdge(const rpoly& p, TEdge& edge, int32_t y, int direction) {
    if (y < p.TruncatedY(edge.index)) return true;
    int from = edge.index;
    int to = p.Step(from, direction);
    while (p.TruncatedY(to) <= y) {
        from = to;
        if (from == edge.index) return false;
        to = p.Step(from, direction);
    }
    const int32_t height = p.TruncatedY(to) - p.TruncatedY(from);
    if (height < 1) return false;
    // y is the vertex's own scanline, except when the conversion starts part way down the edge.
    const auto below = static_cast<float>(y - p.TruncatedY(from));
    for (int c = 0; c < kChannels; ++c) {
        edge.current[c] = p.Channel(from, c);
        edge.delta[c] = (p.Channel(to, c) - p.Channel(from, c)) / static_cast<float>(height);
        edge.current[c] += edge.delta[c] * (0.5f + below);
    }
    edge.index = to;
    return true;
}

void PrepareScanline(rpoly& p, int32_t y) {
    if (p.state == kFinished || (p.state == kWaiting && y < p.topY)) return;
    if (!AdvanceEdge(p, p.left, y, -1) || !AdvanceEdge(p, p.right, y, +1)) {
        p.state = kFinished;
        return;
    }
    p.state = kActive;
}

void StepEdges(rpoly& p) {
    if (p.state != kActive) return;
    for (int c = 0; c < kChannels; ++c) {
        p.left.current[c] += p.left.delta[c];
        p.right.current[c] += p.right.delta[c];
    }
}

// Walks one polygon's pixels along a span of a scanline, answering for each whether it is
// solid: always without a pixmap, else by the alpha of the texel under the pixel centre.
class TSpanSampler {
public:
    TSpanSampler(const rpoly& p, int32_t leftX, int32_t rightX, int32_t start)
        : pixmap(p.pixmap) {
        if (!pixmap || AlphaBits(pixmap->Format()) == 0) return;
        const int32_t width = rightX - leftX;
        if (width < 1 || pixmap->Width() < 1 || pixmap->Height() < 1) {
            empty = true;
            return;
        }
        pixels = pixmap->Pixels();
        pitch = pixmap->Pitch();
        bytesPerPixel = BytesPerPixel(pixmap->Format());
        // In every format with alpha, alpha is the pixel's last byte.
        alphaOffset = bytesPerPixel - 1;
        stepU = (p.right.current[kU] - p.left.current[kU]) / static_cast<float>(width);
        stepV = (p.right.current[kV] - p.left.current[kV]) / static_cast<float>(width);
        const float offset = static_cast<float>(start - leftX) + 0.5f;
        u = p.left.current[kU] + offset * stepU;
        v = p.left.current[kV] + offset * stepV;
    }

    bool NextIsSolid() {
        if (empty) return false;
        if (alphaOffset < 0) return true;
        u = std::clamp(u, 0.0f, 1.0f);
        v = std::clamp(v, 0.0f, 1.0f);
        const int32_t column = std::min(Truncate(u * static_cast<float>(pixmap->Width())),
                                        pixmap->Width() - 1);
        const int32_t row = std::min(Truncate(v * static_cast<float>(pixmap->Height())),
                                     pixmap->Height() - 1);
        const uint8_t* pixel = pixels + static_cast<ptrdiff_t>(row) * pitch + column * bytesPerPixel;
        const bool solid = pixel[alphaOffset] >= 128;
        u += stepU;
        v += stepV;
        return solid;
    }

private:
    const TPixmap* pixmap;
    const uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    int32_t bytesPerPixel = 0;
    bool empty = false;
    int alphaOffset = -1;  // -1: solid throughout
    float u = 0.0f;
    float v = 0.0f;
    float stepU = 0.0f;
    float stepV = 0.0f;
};

bool ScanlineHit(const rpoly& a, const rpoly& b) {
    if (a.state != kActive || b.state != kActive) return false;
    const int32_t aStart = Truncate(a.left.current[kX]);
    const int32_t aEnd = Truncate(a.right.current[kX]);
    const int32_t bStart = Truncate(b.left.current[kX]);
    const int32_t bEnd = Truncate(b.right.current[kX]);
    if (aStart >= bEnd || bStart >= aEnd) return false;
    const int32_t start = std::max(aStart, bStart);
    const int32_t end = std::min(aEnd, bEnd);
    TSpanSampler samplerA(a, aStart, aEnd, start);
    TSpanSampler samplerB(b, bStart, bEnd, start);
    for (int32_t x = start; x < end; ++x) {
        const bool solidA = samplerA.NextIsSolid();
        const bool solidB = samplerB.NextIsSolid();
        if (solidA && solidB) return true;
    }
    return false;
}

// The scanlines [first, last) on which both polygons may be active: from the later of the two
// tops (no pixel above it is in both) to the last vertex of either.
void ScanlineRange(const rpoly& a, const rpoly& b, int32_t& first, int32_t& last) {
    first = std::max(a.topY, b.topY);
    last = INT32_MIN;
    for (const rpoly* p : {&a, &b})
        for (int i = 0; i < p->vertexCount; ++i) last = std::max(last, p->TruncatedY(i));
}

}  // namespace

bool PolygonsShareSolidPixel(std::span<const float> vertices1, const TPixmap* pixmap1,
                             std::span<const float> vertices2, const TPixmap* pixmap2) {
    rpoly a = Begin(vertices1, pixmap1);
    rpoly b = Begin(vertices2, pixmap2);
    if (a.vertexCount == 0 || b.vertexCount == 0) return false;
    int32_t first = 0;
    int32_t last = 0;
    ScanlineRange(a, b, first, last);
    for (int32_t y = first; y < last; ++y) {
        PrepareScanline(a, y);
        PrepareScanline(b, y);
        // A finished polygon never becomes active again, so no later scanline can hit.
        if (a.state == kFinished || b.state == kFinished) return false;
        if (ScanlineHit(a, b)) return true;
        StepEdges(a);
        StepEdges(b);
    }
    return false;
}

}  // namespace qrv
