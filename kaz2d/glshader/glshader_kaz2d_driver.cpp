#include "kaz2d/glshader/glshader_kaz2d_driver.h"

#include <SDL_opengl.h>

#include <algorithm>

#include "kaz2d/gl/gl_blend_choice.h"
#include "kaz2d/gl/gl_frame_texture.h"
#include "kaz2d/gl/gl_graphics_driver.h"
#include "kaz2d/glshader/glshader_functions.h"
#include "kaz2d/glshader/glshader_image_frame.h"
#include "kaz2d/graphics_module.h"

namespace qrv {

namespace {

// The pixel projection of glOrtho(0, width, height, 0, -1, 1), column by column.
std::array<float, 16> PixelProjection(int32_t width, int32_t height) {
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    return {2.0f / w, 0, 0, 0, 0, -2.0f / h, 0, 0, 0, 0, -1, 0, -1, 1, 0, 1};
}

void SetVertexLayout() {
    const TGLShaderFunctions& gl = GLShaderFunctions();
    const auto stride = static_cast<GLsizei>(sizeof(TGLShaderVertex));
    gl.EnableVertexAttribArray(kPositionAttribute);
    gl.VertexAttribPointer(kPositionAttribute, 2, GL_FLOAT, GL_FALSE, stride,
                           reinterpret_cast<void*>(offsetof(TGLShaderVertex, x)));
    gl.EnableVertexAttribArray(kTexCoordAttribute);
    gl.VertexAttribPointer(kTexCoordAttribute, 2, GL_FLOAT, GL_FALSE, stride,
                           reinterpret_cast<void*>(offsetof(TGLShaderVertex, s)));
    gl.EnableVertexAttribArray(kColourAttribute);
    gl.VertexAttribPointer(kColourAttribute, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                           reinterpret_cast<void*>(offsetof(TGLShaderVertex, colour)));
}

// The context's own vertex and index buffers, bound.
void BindContextBuffers(TGLContextRecord& record) {
    const TGLShaderFunctions& gl = GLShaderFunctions();
    if (record.vertexBuffer == 0) {
        gl.GenBuffers(1, &record.vertexBuffer);
        gl.GenBuffers(1, &record.indexBuffer);
        gl.GenBuffers(1, &record.quadIndexBuffer);
        record.quadIndexCount = 0;
        record.releaseBuffers = [](const TGLContextRecord& closing) {
            const std::array<GLuint, 3> buffers{closing.vertexBuffer, closing.indexBuffer,
                                                closing.quadIndexBuffer};
            GLShaderFunctions().DeleteBuffers(3, buffers.data());
        };
    }
    gl.BindBuffer(GL_ARRAY_BUFFER, record.vertexBuffer);
    gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, record.indexBuffer);
}

// Binds the context's quad index buffer, grown first to hold at least the quads: by doubling,
// up to as many quads as the queue holds, so that a long run does not rewrite it quad by quad.
void BindQuadIndices(TGLContextRecord& record, size_t quads, size_t mostQuads) {
    const TGLShaderFunctions& gl = GLShaderFunctions();
    gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, record.quadIndexBuffer);
    if (quads <= record.quadIndexCount) return;
    const size_t count = std::min(std::max<size_t>({quads, size_t{record.quadIndexCount} * 2, 256}), mostQuads);
    std::vector<uint16_t> indices(count * kGLShaderQuadIndices.size());
    for (size_t q = 0; q < count; ++q)
        for (size_t i = 0; i < kGLShaderQuadIndices.size(); ++i)
            indices[q * kGLShaderQuadIndices.size() + i] = static_cast<uint16_t>(q * 4 + kGLShaderQuadIndices[i]);
    gl.BufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(uint16_t)),
                  indices.data(), GL_STATIC_DRAW);
    record.quadIndexCount = static_cast<uint32_t>(count);
}

}  // namespace

// The queue grows as drawing needs it, up to kQueueVertices: reserving it in full would keep
// 1.5 MiB per profile, two of which a program never uses.
TGLShaderKaz2DDriver::TGLShaderKaz2DDriver(TGLProfile profile) : TGLRendererBase(profile) {}

Ref<TGLShaderKaz2DDriver> TGLShaderKaz2DDriver::ForProfile(TGLProfile profile) {
    static const Ref<TGLShaderKaz2DDriver> core = std::make_shared<TGLShaderKaz2DDriver>(TGLProfile::Core);
    static const Ref<TGLShaderKaz2DDriver> es = std::make_shared<TGLShaderKaz2DDriver>(TGLProfile::ES);
    static const Ref<TGLShaderKaz2DDriver> es2 = std::make_shared<TGLShaderKaz2DDriver>(TGLProfile::ES2);
    if (profile == TGLProfile::ES) return es;
    return profile == TGLProfile::ES2 ? es2 : core;
}

Ref<TKaz2DDriver> TGLShaderKaz2DDriver::Shared() const {
    return ForProfile(Profile());
}

std::u16string TGLShaderKaz2DDriver::ToString() const {
    switch (Profile()) {
        case TGLProfile::ES: return u"OpenGL ES 3.0";
        case TGLProfile::ES2: return u"OpenGL ES 2.0";
        default: return u"OpenGL 3.3 core";
    }
}

bool TGLShaderKaz2DDriver::TightRows() const {
    return Profile() == TGLProfile::ES2;
}

// The program and textures are shared by every context of the profile; each context gets its
// own vertex array and buffers when it is first prepared.
bool TGLShaderKaz2DDriver::PrepareObjects() {
    if (objectsTried) return program.name != 0;
    objectsTried = true;
    if (!LoadGLShaderFunctions()) return false;
    // Core profiles draw nothing without a vertex array.
    if (!TightRows() && !(GLShaderFunctions().GenVertexArrays && GLShaderFunctions().BindVertexArray)) return false;
    program = BuildGLShaderProgram(Profile());
    if (program.name == 0) return false;
    whiteTexture = NewClampedTexture(0);
    const std::array<uint8_t, 4> white{255, 255, 255, 255};
    glTexImage2D(GL_TEXTURE_2D, 0, TightRows() ? GL_RGBA : GL_RGBA8, 1, 1, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, white.data());
    blitTexture = NewClampedTexture(0);
    return true;
}

void TGLShaderKaz2DDriver::PrepareContext(TGLContextRecord& record, int32_t width, int32_t height) {
    blendMode = 0;
    sentBlend = 0;
    boundTexture = 0;
    queuedMode = 0;
    queuedTexture = 0;
    textureDrawnInto = TargetTexture();
    if (!PrepareObjects()) return;
    const TGLShaderFunctions& gl = GLShaderFunctions();
    if (!TightRows()) {
        if (record.vertexArray == 0) gl.GenVertexArrays(1, &record.vertexArray);
        gl.BindVertexArray(record.vertexArray);
    }
    BindContextBuffers(record);
    SetVertexLayout();
    gl.UseProgram(program.name);
    const std::array<float, 16> projection = PixelProjection(width, height);
    gl.UniformMatrix4fv(program.projection, 1, GL_FALSE, projection.data());
    gl.Uniform1i(program.image, 0);
    gl.Uniform1f(program.alphaCut, -1.0f);
    glDisable(GL_BLEND);
}

TGLDrawState& TGLShaderKaz2DDriver::CurrentDrawState() {
    return draw;
}

void TGLShaderKaz2DDriver::Flush() {
    if (queued.empty()) return;
    TGLContextRecord* current = CurrentGLContext();
    // Queued for a context that has gone: nothing to draw into.
    if (!current || current->profile != Profile() || program.name == 0) {
        queued.clear();
        queuedIndices.clear();
        queuedQuadsOnly = true;
        return;
    }
    if (queuedTexture != boundTexture) {
        glBindTexture(GL_TEXTURE_2D, queuedTexture);
        boundTexture = queuedTexture;
    }
    const TGLShaderFunctions& gl = GLShaderFunctions();
    gl.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(queued.size() * sizeof(TGLShaderVertex)),
                  queued.data(), GL_STREAM_DRAW);
    size_t indexCount = queuedIndices.size();
    if (queuedQuadsOnly) {
        BindQuadIndices(*current, queued.size() / 4, kQueueVertices / 4);
        indexCount = queued.size() / 4 * kGLShaderQuadIndices.size();
    } else {
        gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, current->indexBuffer);
        gl.BufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indexCount * sizeof(uint16_t)),
                      queuedIndices.data(), GL_STREAM_DRAW);
    }
    glDrawElements(queuedMode, static_cast<GLsizei>(indexCount), GL_UNSIGNED_SHORT, nullptr);
    ++drawCalls;
    queued.clear();
    queuedIndices.clear();
    queuedQuadsOnly = true;
}

void TGLShaderKaz2DDriver::Queue(uint32_t mode, uint32_t texture, bool opaque,
                               std::span<const TGLShaderVertex> vertices,
                               std::span<const uint16_t> indices) {
    std::copy(vertices.begin(), vertices.end(), Append(mode, texture, opaque, vertices.size(), indices));
}

void TGLShaderKaz2DDriver::Admit(uint32_t mode, uint32_t texture, size_t vertexCount,
                                 size_t indexCount) {
    if (mode != queuedMode || texture != queuedTexture || queued.size() + vertexCount > kQueueVertices ||
        queuedIndices.size() + indexCount > std::max(queuedIndices.capacity(), kQueueIndices)) {
        Flush();
        queuedMode = mode;
        queuedTexture = texture;
    }
}

void TGLShaderKaz2DDriver::WriteQuadIndices() {
    const size_t quads = queued.size() / 4;
    uint16_t* index = queuedIndices.Extend(quads * kGLShaderQuadIndices.size());
    for (size_t q = 0; q < quads; ++q)
        for (const uint16_t offset : kGLShaderQuadIndices) *index++ = static_cast<uint16_t>(q * 4 + offset);
    queuedQuadsOnly = false;
}

TGLShaderVertex* TGLShaderKaz2DDriver::Append(uint32_t mode, uint32_t texture, bool opaque,
                                              size_t vertexCount,
                                              std::span<const uint16_t> indices) {
    const int32_t blend = BlendForDraw(blendMode, opaque, draw.colour[3]);
    if (blend != sentBlend) SendBlend(blend);
    // The quads already queued get their indices first, as many as they imply.
    const size_t implied = queuedQuadsOnly ? queued.size() / 4 * kGLShaderQuadIndices.size() : 0;
    Admit(mode, texture, vertexCount, implied + indices.size());
    if (queuedQuadsOnly) WriteQuadIndices();
    const auto base = static_cast<uint16_t>(queued.size());
    uint16_t* index = queuedIndices.Extend(indices.size());
    for (const uint16_t offset : indices) *index++ = static_cast<uint16_t>(base + offset);
    return queued.Extend(vertexCount);
}

Ref<TImageFrame> TGLShaderKaz2DDriver::MakeFrame(const Ref<TPixmap>& pixmap, int32_t flags) {
    TGLFrameBase::StopTextureDeletionAtExit();
    // A cell of the atlas may have held a frame whose quads are still queued.
    if (pixmap && TGLAtlas::Takes(*pixmap, flags)) Flush();
    // Every context of the profile shares its objects with the hidden one, so a texture made
    // in the current context is the same shared texture, made without two context switches
    // (each makes the renderer finish what was drawn so far).
    if (DrawsInCurrentContext()) return MakeFrameHere(pixmap, flags);
    TSharedContextScope shared(Profile());
    return MakeFrameHere(pixmap, flags);
}

Ref<TImageFrame> TGLShaderKaz2DDriver::MakeFrameHere(const Ref<TPixmap>& pixmap, int32_t flags) {
    const TTextureRows rows = TightRows() ? TTextureRows::Tight : TTextureRows::Strided;
    Ref<TImageFrame> frame =
        MakeGLFrame<TGLShaderImageFrame>(atlas, pixmap, flags, FitTextureSizeToLimit, rows, *this);
    boundTexture = 0;  // the new texture or page is bound now, perhaps in the shared context
    return frame;
}

void TGLShaderKaz2DDriver::DeleteTexture(uint32_t name) {
    Flush();
    const GLuint texture = name;
    if (DrawsInCurrentContext()) {
        glDeleteTextures(1, &texture);
    } else {
        TSharedContextScope shared(Profile());
        glDeleteTextures(1, &texture);
    }
    // A later texture may get the same name: it must be bound afresh.
    if (boundTexture == name) boundTexture = 0;
}

void TGLShaderKaz2DDriver::ReleaseAtlasCell(const TGLAtlasPlace& place) {
    if (const uint32_t emptied = atlas.Release(place)) DeleteTexture(emptied);
}

bool TGLShaderKaz2DDriver::DrawsInCurrentContext() const {
    const TGLContextRecord* current = CurrentGLContext();
    return current && current->profile == Profile() && program.name != 0;
}

void TGLShaderKaz2DDriver::ApplyBlend(int32_t mode) {
    blendMode = mode;
}

void TGLShaderKaz2DDriver::SendBlend(int32_t mode) {
    Flush();
    sentBlend = mode;
    // The mask keeps the fragments its alpha cut lets through.
    if (program.name != 0) GLShaderFunctions().Uniform1f(program.alphaCut, mode == BLEND_MASK ? 0.5f : -1.0f);
    SetBlendFunction(mode);
}

void TGLShaderKaz2DDriver::ApplyTransform(float ix, float iy, float jx, float jy) {
    draw.ix = ix;
    draw.iy = iy;
    draw.jx = jx;
    draw.jy = jy;
}

void TGLShaderKaz2DDriver::ApplyLineWidth(float width) {
    lineWidth = width;
}

}  // namespace qrv
