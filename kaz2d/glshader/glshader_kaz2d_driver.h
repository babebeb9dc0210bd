#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "kaz2d/gl/gl_atlas.h"
#include "kaz2d/gl/gl_context.h"
#include "kaz2d/gl/gl_renderer_base.h"
#include "kaz2d/glshader/glshader_frame_owner.h"
#include "kaz2d/glshader/glshader_program.h"

namespace qrv {

// One vertex as the renderer's buffer holds it: window position, texture coordinates and an
// unpremultiplied colour.
struct TGLShaderVertex {
    float x;
    float y;
    float s;
    float t;
    std::array<uint8_t, 4> colour;
};

// The indices of one quad's four vertices: it is cut along the diagonal fixed function cuts its
// GL_QUADS along, with the vertices in the same order, so that where a pixel centre falls on a
// texel edge (a tile half a pixel down) the interpolated coordinate rounds to the same texel in
// both.
inline constexpr std::array<uint16_t, 6> kGLShaderQuadIndices{0, 1, 3, 1, 2, 3};

// The queue's storage: it grows by doubling and keeps its room when cleared, and what it is
// extended by is left for the caller to write.
template <typename T>
class TQueueStorage {
public:
    [[nodiscard]] bool empty() const { return count == 0; }
    [[nodiscard]] size_t size() const { return count; }
    [[nodiscard]] size_t capacity() const { return room; }
    [[nodiscard]] const T* data() const { return items.get(); }
    void clear() { count = 0; }
    // Room for n more at the end, unwritten.
    [[nodiscard]] T* Extend(size_t n) {
        if (n > room - count) Grow(std::max(room * 2, count + n));
        T* at = items.get() + count;
        count += n;
        return at;
    }

private:
    void Grow(size_t wanted) {
        auto grown = std::unique_ptr<T[]>(new T[wanted]);
        std::copy_n(items.get(), count, grown.get());
        items = std::move(grown);
        room = wanted;
    }

    std::unique_ptr<T[]> items;
    size_t count = 0;
    size_t room = 0;
};

// The Kaz2D renderer on shaders and vertex buffers, over OpenGL 3.3 core, OpenGL ES 3.0 or
// OpenGL ES 2.0 contexts of the OpenGL graphics driver. It draws what the fixed-function
// renderer draws, but queues its triangles, lines and points and sends consecutive ones that
// share a primitive and texture in one draw call; any other state change, reading pixels,
// presenting and switching contexts send the queue first. One instance per profile.
class TGLShaderKaz2DDriver final : public TGLRendererBase, public TGLShaderFrameOwner {
public:
    explicit TGLShaderKaz2DDriver(TGLProfile profile);
    static Ref<TGLShaderKaz2DDriver> ForProfile(TGLProfile profile);

    // "OpenGL 3.3 core", "OpenGL ES 3.0" or "OpenGL ES 2.0".
    std::u16string ToString() const override;

    // Recorded, and given to the context with the next draw that needs them.
    void ApplyBlend(int32_t mode) override;
    void ApplyLineWidth(float width) override;
    // Recorded for the vertices that follow: every turned sprite sets it.
    void ApplyTransform(float ix, float iy, float jx, float jy) override;

    // Shapes are queued; a pixmap is copied at once.
    void PlotPixel(float x, float y) override;
    void StrokeLine(float x0, float y0, float x1, float y1, float tx, float ty) override;
    void FillQuad(float x0, float y0, float x1, float y1, float tx, float ty) override;
    void QueueTexturedQuad(uint32_t texture, bool opaque, float s0, float t0, float s1, float t1,
                           float x0, float y0, float x1, float y1, float tx, float ty) override;
    void FillOval(float x0, float y0, float x1, float y1, float tx, float ty) override;
    void FillPolygon(const std::vector<float>& points, float handleX, float handleY,
                     float originX, float originY) override;
    void BlitPixmap(const Ref<TPixmap>& pixmap, int32_t x, int32_t y) override;
    // Sends what is queued to the current context.
    void Flush() override;
    // The texture the last draw call used (0 after a context switch or its deletion).
    uint32_t BoundTexture() const { return boundTexture; }
    // Draw calls sent since the process started.
    int64_t DrawCallCount() const { return drawCalls; }

    // Made in the current context where it is one of this profile, else in the shared one.
    Ref<TImageFrame> MakeFrame(const Ref<TPixmap>& pixmap, int32_t flags) override;
    void DeleteTexture(uint32_t name) override;
    void ReleaseAtlasCell(const TGLAtlasPlace& place) override;
    // Textures the atlas has now.
    [[nodiscard]] size_t AtlasPageCount() const { return atlas.PageCount(); }

protected:
    Ref<TKaz2DDriver> Shared() const override;
    void PrepareContext(TGLContextRecord& record, int32_t width, int32_t height) override;
    TGLDrawState& CurrentDrawState() override;
    Ref<TGLFrameBase> MakeTargetFrame(const Ref<TPixmap>& pixels, int32_t flags) override;
    void PrepareImageTarget(int32_t width, int32_t height) override;

private:
    // Vertices the queue holds before it is sent anyway: as many as 16-bit indices can reach.
    static constexpr size_t kQueueVertices = 65536;
    static constexpr size_t kQueueIndices = kQueueVertices / 4 * 6;

    // A context of this driver's profile is current, prepared for drawing.
    [[nodiscard]] bool DrawsInCurrentContext() const;
    // OpenGL ES 2.0 takes pixels in tightly packed rows only, and unsized texture formats.
    bool TightRows() const;
    // A frame of the pixmap made in the context that is current (MakeGLFrame).
    [[nodiscard]] Ref<TImageFrame> MakeFrameHere(const Ref<TPixmap>& pixmap, int32_t flags);
    bool PrepareObjects();
    TGLShaderVertex Mapped(float lx, float ly, float tx, float ty) const;
    TGLShaderVertex Plain(float x, float y) const;
    // Queues vertices and the indices (into those vertices) that make the shape of them, sent
    // with the blend BlendForDraw gives for the texture; the white texture of plain shapes is
    // opaque.
    void Queue(uint32_t mode, uint32_t texture, bool opaque,
               std::span<const TGLShaderVertex> vertices, std::span<const uint16_t> indices);
    // The same for vertices the caller writes into the slots returned, straight into the queue.
    [[nodiscard]] TGLShaderVertex* Append(uint32_t mode, uint32_t texture, bool opaque,
                                          size_t vertexCount, std::span<const uint16_t> indices);
    // The four slots of a quad's corners (kGLShaderQuadIndices). While a batch holds quads
    // alone, their indices are not written: it is drawn with the context's quad index buffer.
    [[nodiscard]] TGLShaderVertex* AppendQuad(uint32_t texture, bool opaque);
    // The same where the quad may start a batch or change the blend.
    [[nodiscard]] TGLShaderVertex* AppendQuadAfresh(uint32_t texture, bool opaque);
    // Whether the shape's vertices and indices can join what is queued; else the queue is sent
    // and starts afresh with the mode and texture.
    void Admit(uint32_t mode, uint32_t texture, size_t vertexCount, size_t indexCount);
    // Writes the implied indices of the quads queued so far, before other shapes join them.
    void WriteQuadIndices();
    void Queue(uint32_t mode, std::span<const TGLShaderVertex> vertices,
               std::span<const uint16_t> indices) {
        Queue(mode, whiteTexture, true, vertices, indices);
    }
    // Sets the context's blending to the mode, sending what is queued first.
    void SendBlend(int32_t mode);
    // Queues the triangles of a fan around the scratch vertices' first one.
    void QueueScratchFan();
    void QueueWideLine(float x0, float y0, float x1, float y1);

    bool objectsTried = false;
    TGLShaderProgram program;
    uint32_t whiteTexture = 0;
    uint32_t blitTexture = 0;
    TGLAtlas atlas;

    int32_t blendMode = 0;  // the mode asked for
    int32_t sentBlend = 0;  // the mode the context has; 0: not known
    uint32_t boundTexture = 0;
    float lineWidth = 1.0f;
    TGLDrawState draw;

    uint32_t queuedMode = 0;
    uint32_t queuedTexture = 0;
    TQueueStorage<TGLShaderVertex> queued;
    TQueueStorage<uint16_t> queuedIndices;
    bool queuedQuadsOnly = true;  // every queued vertex is a quad's, its indices implied
    std::vector<TGLShaderVertex> scratch;
    std::vector<uint16_t> scratchIndices;
    int64_t drawCalls = 0;
};

}  // namespace qrv
