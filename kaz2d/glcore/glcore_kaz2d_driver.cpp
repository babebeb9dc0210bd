#include "kaz2d/glcore/glcore_kaz2d_driver.h"

#include <SDL_opengl.h>

#include <algorithm>
#include <cstdlib>

#include "kaz2d/gl/gl_blend_choice.h"
#include "kaz2d/gl/gl_frame_texture.h"
#include "kaz2d/glcore/glcore_functions.h"
#include "kaz2d/glcore/glcore_image_frame.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/kaz2d_graphics.h"
#include "kaz2d/kaz2d_module.h"

namespace qrv {

namespace {

// Vertices the queue holds before it is sent anyway: as many as 16-bit indices can reach.
constexpr size_t kQueueVertices = 65536;
constexpr size_t kQueueIndices = kQueueVertices / 4 * 6;

uint8_t ClampedByte(int32_t value) {
    return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

Ref<TGLGraphicsDriver> LowerFor(TGLProfile profile) {
    return TGLGraphicsDriver::ForProfile(profile);
}

// The pixel projection of glOrtho(0, width, height, 0, -1, 1), column by column.
std::array<float, 16> PixelProjection(int32_t width, int32_t height) {
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    return {2.0f / w, 0, 0, 0, 0, -2.0f / h, 0, 0, 0, 0, -1, 0, -1, 1, 0, 1};
}

void SetVertexLayout() {
    const TGLCoreFunctions& gl = GLCore();
    const auto stride = static_cast<GLsizei>(sizeof(TGLCoreVertex));
    gl.EnableVertexAttribArray(kPositionAttribute);
    gl.VertexAttribPointer(kPositionAttribute, 2, GL_FLOAT, GL_FALSE, stride,
                           reinterpret_cast<void*>(offsetof(TGLCoreVertex, x)));
    gl.EnableVertexAttribArray(kTexCoordAttribute);
    gl.VertexAttribPointer(kTexCoordAttribute, 2, GL_FLOAT, GL_FALSE, stride,
                           reinterpret_cast<void*>(offsetof(TGLCoreVertex, s)));
    gl.EnableVertexAttribArray(kColourAttribute);
    gl.VertexAttribPointer(kColourAttribute, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                           reinterpret_cast<void*>(offsetof(TGLCoreVertex, colour)));
}

}  // namespace

// The queue grows as drawing needs it, up to kQueueVertices: reserving it in full would keep
// 1.5 MiB per profile, two of which a program never uses.
TGLCoreKaz2DDriver::TGLCoreKaz2DDriver(TGLProfile profile) : profile(profile) {}

Ref<TGLCoreKaz2DDriver> TGLCoreKaz2DDriver::ForProfile(TGLProfile profile) {
    static const Ref<TGLCoreKaz2DDriver> core = std::make_shared<TGLCoreKaz2DDriver>(TGLProfile::Core);
    static const Ref<TGLCoreKaz2DDriver> es = std::make_shared<TGLCoreKaz2DDriver>(TGLProfile::ES);
    static const Ref<TGLCoreKaz2DDriver> es2 = std::make_shared<TGLCoreKaz2DDriver>(TGLProfile::ES2);
    if (profile == TGLProfile::ES) return es;
    return profile == TGLProfile::ES2 ? es2 : core;
}

std::u16string TGLCoreKaz2DDriver::ToString() const {
    switch (profile) {
        case TGLProfile::ES: return u"OpenGL ES 3.0";
        case TGLProfile::ES2: return u"OpenGL ES 2.0";
        default: return u"OpenGL 3.3 core";
    }
}

bool TGLCoreKaz2DDriver::TightRows() const {
    return profile == TGLProfile::ES2;
}

std::vector<TGraphicsMode> TGLCoreKaz2DDriver::EnumerateModes() {
    return LowerFor(profile)->EnumerateModes();
}

Ref<TGraphics> TGLCoreKaz2DDriver::AttachContext(void* window, int32_t flags) {
    Ref<TGraphics> lower = LowerFor(profile)->AttachContext(window, flags);
    return lower ? TKaz2DGraphics::CreateFor(lower, ForProfile(profile)) : nullptr;
}

Ref<TGraphics> TGLCoreKaz2DDriver::CreateContext(int32_t width, int32_t height, int32_t depth,
                                                 int32_t hertz, int32_t flags) {
    Ref<TGraphics> lower = LowerFor(profile)->CreateContext(width, height, depth, hertz, flags);
    return lower ? TKaz2DGraphics::CreateFor(lower, ForProfile(profile)) : nullptr;
}

void TGLCoreKaz2DDriver::MakeCurrent(const Ref<TGraphics>& graphics) {
    Flush();
    const auto context = std::dynamic_pointer_cast<TKaz2DGraphics>(graphics);
    const auto lower = context ? std::dynamic_pointer_cast<TGLGraphics>(context->graphics) : nullptr;
    if (!context || !lower || !lower->Record()) {
        LowerFor(profile)->MakeCurrent(nullptr);
        TKaz2DGraphics::ClearCurrent();
        return;
    }
    LowerFor(profile)->MakeCurrent(lower);
    const TGraphicsSettings settings = context->GetSettings();
    PrepareContext(*lower->Record(), settings.width, settings.height);
    context->BecomeCurrent();
    context->ApplyState();
}

// The program, buffer and textures are shared by every context of the profile; each context
// gets its own vertex array, which contexts do not share.
bool TGLCoreKaz2DDriver::PrepareObjects() {
    if (objectsTried) return program.name != 0;
    objectsTried = true;
    if (!LoadGLCoreFunctions()) return false;
    // Core profiles draw nothing without a vertex array.
    if (!TightRows() && !(GLCore().GenVertexArrays && GLCore().BindVertexArray)) return false;
    program = BuildGLCoreProgram(profile);
    if (program.name == 0) return false;
    GLCore().GenBuffers(1, &vertexBuffer);
    GLCore().GenBuffers(1, &indexBuffer);
    whiteTexture = NewClampedTexture(0);
    const std::array<uint8_t, 4> white{255, 255, 255, 255};
    glTexImage2D(GL_TEXTURE_2D, 0, TightRows() ? GL_RGBA : GL_RGBA8, 1, 1, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, white.data());
    blitTexture = NewClampedTexture(0);
    return true;
}

void TGLCoreKaz2DDriver::PrepareContext(TGLContextRecord& record, int32_t width, int32_t height) {
    blendMode = 0;
    sentBlend = 0;
    boundTexture = 0;
    scissor = {};
    queuedMode = 0;
    queuedTexture = 0;
    if (!PrepareObjects()) return;
    const TGLCoreFunctions& gl = GLCore();
    if (!TightRows()) {
        if (record.vertexArray == 0) gl.GenVertexArrays(1, &record.vertexArray);
        gl.BindVertexArray(record.vertexArray);
    }
    gl.BindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    SetVertexLayout();
    gl.UseProgram(program.name);
    const std::array<float, 16> projection = PixelProjection(width, height);
    gl.UniformMatrix4fv(program.projection, 1, GL_FALSE, projection.data());
    gl.Uniform1i(program.image, 0);
    gl.Uniform1f(program.alphaCut, -1.0f);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_BLEND);
    anchor.AnchorViewport(width, height);
}

void TGLCoreKaz2DDriver::PresentBuffer(int32_t sync) {
    Flush();
    LowerFor(profile)->PresentBuffer(sync);
    // The window may have been given another size since the last frame: a scissored drawing
    // area then moves with the picture's top edge.
    if (!anchor.FollowDrawable()) return;
    // A rectangle no viewport gives, so that the viewport's is sent whatever it is.
    scissor = {true, {0, 0, -1, -1}};
    int32_t x = 0, y = 0, width = 0, height = 0;
    GetViewportRect(x, y, width, height);
    ApplyViewport(x, y, width, height);
}

void TGLCoreKaz2DDriver::Flush() {
    if (queued.empty()) return;
    const TGLContextRecord* current = CurrentGLContext();
    // Queued for a context that has gone: nothing to draw into.
    if (!current || current->profile != profile || program.name == 0) {
        queued.clear();
        queuedIndices.clear();
        return;
    }
    if (queuedTexture != boundTexture) {
        glBindTexture(GL_TEXTURE_2D, queuedTexture);
        boundTexture = queuedTexture;
    }
    const TGLCoreFunctions& gl = GLCore();
    gl.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(queued.size() * sizeof(TGLCoreVertex)),
                  queued.data(), GL_STREAM_DRAW);
    gl.BufferData(GL_ELEMENT_ARRAY_BUFFER,
                  static_cast<GLsizeiptr>(queuedIndices.size() * sizeof(uint16_t)),
                  queuedIndices.data(), GL_STREAM_DRAW);
    glDrawElements(queuedMode, static_cast<GLsizei>(queuedIndices.size()), GL_UNSIGNED_SHORT,
                   nullptr);
    ++drawCalls;
    queued.clear();
    queuedIndices.clear();
}

void TGLCoreKaz2DDriver::Queue(uint32_t mode, uint32_t texture, bool opaque,
                               std::span<const TGLCoreVertex> vertices,
                               std::span<const uint16_t> indices) {
    const int32_t blend = BlendForDraw(blendMode, opaque, colour[3]);
    if (blend != sentBlend) SendBlend(blend);
    if (mode != queuedMode || texture != queuedTexture ||
        queued.size() + vertices.size() > kQueueVertices ||
        queuedIndices.size() + indices.size() > std::max(queuedIndices.capacity(), kQueueIndices)) {
        Flush();
        queuedMode = mode;
        queuedTexture = texture;
    }
    const auto base = static_cast<uint16_t>(queued.size());
    queued.insert(queued.end(), vertices.begin(), vertices.end());
    for (const uint16_t index : indices) queuedIndices.push_back(static_cast<uint16_t>(base + index));
}

Ref<TImageFrame> TGLCoreKaz2DDriver::MakeFrame(const Ref<TPixmap>& pixmap, int32_t flags) {
    // Registered after the native contexts exist, so it runs before they are torn down.
    static const bool stopsAtExit = std::atexit(StopGLCoreTextureDeletion) == 0;
    (void)stopsAtExit;
    const TTextureRows rows = TightRows() ? TTextureRows::Tight : TTextureRows::Strided;
    // A cell of the atlas may have held a frame whose quads are still queued.
    if (pixmap && TGLAtlas::Takes(*pixmap, flags)) Flush();
    if (DrawsInCurrentContext()) {
        // Every context of the profile shares its objects with the hidden one, so a texture made
        // here is the same shared texture, made without two context switches (each makes the
        // renderer finish what was drawn so far).
        Ref<TImageFrame> frame = TGLCoreImageFrame::CreateFromPixmap(*this, pixmap, flags, rows);
        boundTexture = 0;  // the new texture is bound now
        return frame;
    }
    const Ref<TGLGraphicsDriver> lower = LowerFor(profile);
    lower->SwapSharedContext();
    Ref<TImageFrame> frame;
    try {
        frame = TGLCoreImageFrame::CreateFromPixmap(*this, pixmap, flags, rows);
    } catch (...) {
        lower->SwapSharedContext();
        throw;
    }
    lower->SwapSharedContext();
    return frame;
}

void TGLCoreKaz2DDriver::DeleteTexture(uint32_t name) {
    Flush();
    const GLuint texture = name;
    if (DrawsInCurrentContext()) {
        glDeleteTextures(1, &texture);
    } else {
        const Ref<TGLGraphicsDriver> lower = LowerFor(profile);
        lower->SwapSharedContext();
        glDeleteTextures(1, &texture);
        lower->SwapSharedContext();
    }
    // A later texture may get the same name: it must be bound afresh.
    if (boundTexture == name) boundTexture = 0;
}

Ref<TGLCoreImageFrame> TGLCoreKaz2DDriver::MakeAtlasFrame(const Ref<TPixmap>& pixmap,
                                                          TTextureRows rows) {
    TGLAtlasPlace place = atlas.Reserve(*pixmap, rows);
    if (!place.page) return nullptr;
    const bool filled = TGLAtlas::Fill(place, pixmap);
    boundTexture = 0;  // the page is bound now, perhaps in the shared context
    // An unfilled frame still takes its cell, and gives it back as it goes.
    auto frame = std::make_shared<TGLCoreImageFrame>(*this, std::move(place));
    return filled ? frame : nullptr;
}

void TGLCoreKaz2DDriver::ReleaseAtlasCell(const TGLAtlasPlace& place) {
    if (const uint32_t emptied = atlas.Release(place)) DeleteTexture(emptied);
}

bool TGLCoreKaz2DDriver::DrawsInCurrentContext() const {
    const TGLContextRecord* current = CurrentGLContext();
    return current && current->profile == profile && program.name != 0;
}

void TGLCoreKaz2DDriver::ApplyBlend(int32_t mode) {
    blendMode = mode;
}

void TGLCoreKaz2DDriver::SendBlend(int32_t mode) {
    Flush();
    sentBlend = mode;
    if (program.name != 0) GLCore().Uniform1f(program.alphaCut, mode == BLEND_MASK ? 0.5f : -1.0f);
    switch (mode) {
        case BLEND_ALPHA:
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            return;
        case BLEND_LIGHT:
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE);
            return;
        case BLEND_SHADE:
            glEnable(GL_BLEND);
            glBlendFunc(GL_DST_COLOR, GL_ZERO);
            return;
        default:
            glDisable(GL_BLEND);
            return;
    }
}

void TGLCoreKaz2DDriver::ApplyAlpha(float alpha) {
    // NaN compares false both ways and ends as 0.
    const float clamped = alpha >= 1.0f ? 1.0f : (alpha > 0.0f ? alpha : 0.0f);
    colour[3] = static_cast<uint8_t>(255.0f * clamped);
}

void TGLCoreKaz2DDriver::ApplyColor(int32_t red, int32_t green, int32_t blue) {
    colour[0] = ClampedByte(red);
    colour[1] = ClampedByte(green);
    colour[2] = ClampedByte(blue);
}

void TGLCoreKaz2DDriver::ApplyClearColor(int32_t red, int32_t green, int32_t blue) {
    glClearColor(ClampedByte(red) / 255.0f, ClampedByte(green) / 255.0f,
                 ClampedByte(blue) / 255.0f, 1.0f);
}

void TGLCoreKaz2DDriver::ApplyViewport(int32_t x, int32_t y, int32_t width, int32_t height) {
    TScissor wanted;
    if (x != 0 || y != 0 || width != CurrentWidth() || height != CurrentHeight()) {
        // A negative size would be a GL error that leaves the previous rectangle in force.
        wanted = {true, {x, anchor.RowFromBottom(y, height), std::max(width, 0), std::max(height, 0)}};
    }
    SetScissor(wanted);
}

void TGLCoreKaz2DDriver::SetScissor(const TScissor& wanted) {
    if (wanted == scissor) return;
    Flush();
    scissor = wanted;
    if (!wanted.enabled) {
        glDisable(GL_SCISSOR_TEST);
        return;
    }
    glEnable(GL_SCISSOR_TEST);
    glScissor(wanted.box[0], wanted.box[1], wanted.box[2], wanted.box[3]);
}

void TGLCoreKaz2DDriver::ApplyTransform(float ix, float iy, float jx, float jy) {
    this->ix = ix;
    this->iy = iy;
    this->jx = jx;
    this->jy = jy;
}

void TGLCoreKaz2DDriver::ApplyLineWidth(float width) {
    lineWidth = width;
}

void TGLCoreKaz2DDriver::ClearBuffer() {
    Flush();
    glClear(GL_COLOR_BUFFER_BIT);
}

}  // namespace qrv
