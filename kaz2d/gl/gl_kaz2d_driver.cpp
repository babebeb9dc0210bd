#include "kaz2d/gl/gl_kaz2d_driver.h"

#include <SDL_opengl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "kaz2d/gl/gl_graphics_driver.h"
#include "kaz2d/gl/gl_image_frame.h"
#include "kaz2d/gl/gl_picture_anchor.h"
#include "kaz2d/gl/gl_render_state.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/kaz2d_graphics.h"
#include "kaz2d/kaz2d_module.h"
#include "pixmap/pixmap_transform.h"

namespace qrv {

namespace {

// Beyond this many vertices an ellipse looks no rounder.
constexpr double kMaxOvalVertices = 65536;

Ref<TGLGraphicsDriver> Lower() {
    return TGLGraphicsDriver::Instance();
}

uint8_t ClampedByte(int32_t value) {
    return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

void SendColour() {
    glColor4ubv(GLRenderState().colour.data());
}

// Switches to the shared context and back, also when the work in between raises.
class TSharedContextScope {
public:
    TSharedContextScope() { Lower()->SwapSharedContext(); }
    ~TSharedContextScope() { Lower()->SwapSharedContext(); }
    TSharedContextScope(const TSharedContextScope&) = delete;
    TSharedContextScope& operator=(const TSharedContextScope&) = delete;
};

// Blending is solid while it lives; the cached mode comes back afterwards.
class TSolidBlendScope {
public:
    explicit TSolidBlendScope(TGLKaz2DDriver& driver)
        : driver(driver), remembered(GLRenderState().blendMode) {
        driver.ApplyBlend(BLEND_SOLID);
    }
    ~TSolidBlendScope() { driver.ApplyBlend(remembered); }
    TSolidBlendScope(const TSolidBlendScope&) = delete;
    TSolidBlendScope& operator=(const TSolidBlendScope&) = delete;

private:
    TGLKaz2DDriver& driver;
    int32_t remembered;
};

// Where the current context's picture sits in its drawable.
TGLPictureAnchor anchor;

void SetProjection(int32_t width, int32_t height) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, height, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    anchor.AnchorViewport(width, height);
}

}  // namespace

Ref<TGLKaz2DDriver> TGLKaz2DDriver::Instance() {
    static const Ref<TGLKaz2DDriver> instance = std::make_shared<TGLKaz2DDriver>();
    return instance;
}

std::u16string TGLKaz2DDriver::ToString() const {
    return u"OpenGL";
}

std::vector<TGraphicsMode> TGLKaz2DDriver::EnumerateModes() {
    return Lower()->EnumerateModes();
}

Ref<TGraphics> TGLKaz2DDriver::AttachContext(void* window, int32_t flags) {
    Ref<TGraphics> lower = Lower()->AttachContext(window, flags);
    return lower ? TKaz2DGraphics::CreateFor(lower, Instance()) : nullptr;
}

Ref<TGraphics> TGLKaz2DDriver::CreateContext(int32_t width, int32_t height, int32_t depth,
                                             int32_t hertz, int32_t flags) {
    Ref<TGraphics> lower = Lower()->CreateContext(width, height, depth, hertz, flags);
    return lower ? TKaz2DGraphics::CreateFor(lower, Instance()) : nullptr;
}

void TGLKaz2DDriver::MakeCurrent(const Ref<TGraphics>& graphics) {
    const auto context = std::dynamic_pointer_cast<TKaz2DGraphics>(graphics);
    if (!context) {
        Lower()->MakeCurrent(nullptr);
        TKaz2DGraphics::ClearCurrent();
        return;
    }
    Lower()->MakeCurrent(context->graphics);
    const TGraphicsSettings settings = context->GetSettings();
    ResetGLRenderCache();
    SetProjection(settings.width, settings.height);
    context->BecomeCurrent();
    context->ApplyState();
}

void TGLKaz2DDriver::PresentBuffer(int32_t sync) {
    Lower()->PresentBuffer(sync);
    // The window may have been given another size since the last frame: a scissored drawing
    // area then moves with the picture's top edge.
    if (!anchor.FollowDrawable()) return;
    int32_t x = 0, y = 0, width = 0, height = 0;
    GetViewportRect(x, y, width, height);
    ApplyViewport(x, y, width, height);
}

Ref<TImageFrame> TGLKaz2DDriver::MakeFrame(const Ref<TPixmap>& pixmap, int32_t flags) {
    // Registered after the native contexts exist, so it runs before they are torn down.
    static const bool stopsAtExit = std::atexit(StopGLTextureDeletion) == 0;
    (void)stopsAtExit;
    if (!CurrentGLContext()) {
        TSharedContextScope shared;
        return TGLImageFrame::CreateFromPixmap(pixmap, flags);
    }
    // Every context shares its objects with the shared one, so a texture made in the current
    // context is the same shared texture, made without two context switches: each switch makes
    // the renderer finish what was drawn so far, and a screen's first draws make a texture for
    // every new picture and glyph.
    Ref<TImageFrame> frame = TGLImageFrame::CreateFromPixmap(pixmap, flags);
    GLRenderState().boundTexture = 0;  // the new texture is bound now: the cache must not trust itself
    return frame;
}

void TGLKaz2DDriver::ApplyBlend(int32_t mode) {
    TGLRenderState& s = GLRenderState();
    if (mode == s.blendMode) return;
    s.blendMode = mode;
    switch (mode) {
        case BLEND_MASK:
            glDisable(GL_BLEND);
            glEnable(GL_ALPHA_TEST);
            glAlphaFunc(GL_GEQUAL, 0.5f);
            return;
        case BLEND_ALPHA:
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            glDisable(GL_ALPHA_TEST);
            return;
        case BLEND_LIGHT:
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE);
            glDisable(GL_ALPHA_TEST);
            return;
        case BLEND_SHADE:
            glEnable(GL_BLEND);
            glBlendFunc(GL_DST_COLOR, GL_ZERO);
            glDisable(GL_ALPHA_TEST);
            return;
        default:
            glDisable(GL_BLEND);
            glDisable(GL_ALPHA_TEST);
            return;
    }
}

void TGLKaz2DDriver::ApplyAlpha(float alpha) {
    // NaN compares false both ways and ends as 0.
    const float clamped = alpha >= 1.0f ? 1.0f : (alpha > 0.0f ? alpha : 0.0f);
    GLRenderState().colour[3] = static_cast<uint8_t>(255.0f * clamped);
    SendColour();
}

void TGLKaz2DDriver::ApplyColor(int32_t red, int32_t green, int32_t blue) {
    auto& colour = GLRenderState().colour;
    colour[0] = ClampedByte(red);
    colour[1] = ClampedByte(green);
    colour[2] = ClampedByte(blue);
    SendColour();
}

void TGLKaz2DDriver::ApplyClearColor(int32_t red, int32_t green, int32_t blue) {
    glClearColor(ClampedByte(red) / 255.0f, ClampedByte(green) / 255.0f,
                 ClampedByte(blue) / 255.0f, 1.0f);
}

void TGLKaz2DDriver::ApplyViewport(int32_t x, int32_t y, int32_t width, int32_t height) {
    if (x == 0 && y == 0 && width == CurrentWidth() && height == CurrentHeight()) {
        glDisable(GL_SCISSOR_TEST);
        return;
    }
    glEnable(GL_SCISSOR_TEST);
    // A negative size would be a GL error that leaves the previous rectangle in force.
    glScissor(x, anchor.RowFromBottom(y, height), std::max(width, 0), std::max(height, 0));
}

void TGLKaz2DDriver::ApplyTransform(float ix, float iy, float jx, float jy) {
    TGLRenderState& s = GLRenderState();
    s.ix = ix;
    s.iy = iy;
    s.jx = jx;
    s.jy = jy;
}

void TGLKaz2DDriver::ApplyLineWidth(float width) {
    glLineWidth(width);
}

void TGLKaz2DDriver::ClearBuffer() {
    glClear(GL_COLOR_BUFFER_BIT);
}

void TGLKaz2DDriver::PlotPixel(float x, float y) {
    DisableGLTexturing();
    glBegin(GL_POINTS);
    glVertex2f(x + 0.5f, y + 0.5f);
    glEnd();
}

void TGLKaz2DDriver::StrokeLine(float x0, float y0, float x1, float y1, float tx, float ty) {
    DisableGLTexturing();
    glBegin(GL_LINES);
    EmitMappedVertex(x0, y0, tx + 0.5f, ty + 0.5f);
    EmitMappedVertex(x1, y1, tx + 0.5f, ty + 0.5f);
    glEnd();
}

void TGLKaz2DDriver::FillQuad(float x0, float y0, float x1, float y1, float tx, float ty) {
    DisableGLTexturing();
    glBegin(GL_QUADS);
    EmitMappedVertex(x0, y0, tx, ty);
    EmitMappedVertex(x1, y0, tx, ty);
    EmitMappedVertex(x1, y1, tx, ty);
    EmitMappedVertex(x0, y1, tx, ty);
    glEnd();
}

int32_t OvalVertexCount(float x0, float y0, float x1, float y1) {
    const double sum = std::abs((x1 - x0) * 0.5) + std::abs((y1 - y0) * 0.5);
    // NaN fails the comparison and takes the minimum.
    const double bounded = sum >= 12.0 ? std::min(sum, kMaxOvalVertices) : 12.0;
    return static_cast<int32_t>(bounded) & ~3;
}

void TGLKaz2DDriver::FillOval(float x0, float y0, float x1, float y1, float tx, float ty) {
    DisableGLTexturing();
    glBegin(GL_POLYGON);
    ForEachOvalVertex(x0, y0, x1, y1, [&](float x, float y) { EmitMappedVertex(x, y, tx, ty); });
    glEnd();
}

void TGLKaz2DDriver::FillPolygon(const std::vector<float>& points, float handleX, float handleY,
                                 float originX, float originY) {
    if (points.size() < 6 || points.size() % 2 != 0) return;
    DisableGLTexturing();
    glBegin(GL_POLYGON);
    for (size_t i = 0; i < points.size(); i += 2)
        EmitMappedVertex(handleX + points[i], handleY + points[i + 1], originX, originY);
    glEnd();
}

void TGLKaz2DDriver::BlitPixmap(const Ref<TPixmap>& pixmap, int32_t x, int32_t y) {
    if (!pixmap) return;
    const Ref<TPixmap> flipped = FlipVertical(pixmap);
    const Ref<TPixmap> rgba = flipped ? flipped->ConvertedTo(FormatRGBA8888) : nullptr;
    if (!rgba) return;
    DisableGLTexturing();
    TSolidBlendScope solid(*this);
    // Pixmaps are copied whatever the viewport.
    const GLboolean scissored = glIsEnabled(GL_SCISSOR_TEST);
    glDisable(GL_SCISSOR_TEST);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, rgba->Pitch() / 4);
    glRasterPos2i(0, 0);
    glBitmap(0, 0, 0, 0, static_cast<GLfloat>(x), static_cast<GLfloat>(-y - rgba->Height()),
             nullptr);
    glDrawPixels(rgba->Width(), rgba->Height(), GL_RGBA, GL_UNSIGNED_BYTE, rgba->Pixels());
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    if (scissored) glEnable(GL_SCISSOR_TEST);
}

Ref<TPixmap> TGLKaz2DDriver::ReadPixmap(int32_t x, int32_t y, int32_t width, int32_t height) {
    TSolidBlendScope solid(*this);
    Ref<TPixmap> pixmap = NewPixmap(width, height, FormatRGBA8888, 4);
    if (!pixmap || width == 0 || height == 0) return pixmap;
    glPixelStorei(GL_PACK_ROW_LENGTH, pixmap->Pitch() / 4);
    glReadPixels(x, anchor.RowFromBottom(y, height), width, height, GL_RGBA, GL_UNSIGNED_BYTE,
                 pixmap->Pixels());
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    return FlipVertical(pixmap);
}

void InitGLKaz2DModule() {
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitKaz2DModule();
    InitGLGraphicsModule();
    GLRenderState().colour = {};
    SelectGraphicsDriver(TGLKaz2DDriver::Instance(), GFX_BACK_BUFFER);
}

}  // namespace qrv
