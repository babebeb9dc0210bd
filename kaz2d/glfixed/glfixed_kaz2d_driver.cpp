#include "kaz2d/glfixed/glfixed_kaz2d_driver.h"

#include <SDL_opengl.h>

#include "kaz2d/gl/gl_graphics_driver.h"
#include "kaz2d/gl/oval_vertices.h"
#include "kaz2d/glfixed/glfixed_image_frame.h"
#include "kaz2d/glfixed/glfixed_render_state.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/kaz2d_module.h"
#include "kaz2d/renderer_table.h"
#include "pixmap/pixmap_transform.h"

namespace qrv {

namespace {

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

}  // namespace

Ref<TGLKaz2DDriver> TGLKaz2DDriver::Instance() {
    static const Ref<TGLKaz2DDriver> instance = std::make_shared<TGLKaz2DDriver>();
    return instance;
}

Ref<TKaz2DDriver> TGLKaz2DDriver::Shared() const {
    return Instance();
}

std::u16string TGLKaz2DDriver::ToString() const {
    return u"OpenGL";
}

void TGLKaz2DDriver::PrepareContext(TGLContextRecord&, int32_t width, int32_t height) {
    ResetGLRenderCache();
    GLRenderState().targetTexture = TargetTexture();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, height, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
}

Ref<TImageFrame> TGLKaz2DDriver::MakeFrame(const Ref<TPixmap>& pixmap, int32_t flags) {
    TGLFrameBase::StopTextureDeletionAtExit();
    if (!CurrentGLContextIs(Profile())) {
        TSharedContextScope shared(Profile());
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
    SendGLBlend(mode);
}

TGLDrawState& TGLKaz2DDriver::CurrentDrawState() {
    return GLRenderState();
}

void TGLKaz2DDriver::ColourChanged() {
    glColor4ubv(GLRenderState().colour.data());
}

void TGLKaz2DDriver::ApplyLineWidth(float width) {
    glLineWidth(width);
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
    // glDrawPixels lays the rows upwards from GL row y: the window's rows run the other way.
    const bool image = DrawsIntoImage();
    const Ref<TPixmap> flipped = image ? pixmap : FlipVertical(pixmap);
    const Ref<TPixmap> rgba = flipped ? flipped->ConvertedTo(FormatRGBA8888) : nullptr;
    if (!rgba) return;
    DisableGLTexturing();
    TSolidBlendScope solid(*this);
    // Pixmaps are copied whatever the viewport.
    const TGLScissor scissored = Scissor();
    SetScissor({});
    glPixelStorei(GL_UNPACK_ROW_LENGTH, rgba->Pitch() / 4);
    glRasterPos2i(0, 0);
    const int32_t row = image ? y : -y - rgba->Height();
    glBitmap(0, 0, 0, 0, static_cast<GLfloat>(x), static_cast<GLfloat>(row), nullptr);
    glDrawPixels(rgba->Width(), rgba->Height(), GL_RGBA, GL_UNSIGNED_BYTE, rgba->Pixels());
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    SetScissor(scissored);
}

Ref<TPixmap> TGLKaz2DDriver::ReadPixmap(int32_t x, int32_t y, int32_t width, int32_t height) {
    TSolidBlendScope solid(*this);
    return TGLRendererBase::ReadPixmap(x, y, width, height);
}

void InitGLKaz2DModule() {
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitKaz2DModule();
    InitGLGraphicsModule();
    GLRenderState().colour = {};
    // Where nothing preferred can be made, the fixed-function renderer stays. Its contexts are
    // tried only when a window opens.
    (void)RegisterRenderer({"opengl", 0, [] { return Ref<TKaz2DDriver>(TGLKaz2DDriver::Instance()); }});
    SelectGraphicsDriver(TGLKaz2DDriver::Instance(), GFX_BACK_BUFFER);
}

}  // namespace qrv
