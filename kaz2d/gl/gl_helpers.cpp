#include "kaz2d/gl/gl_helpers.h"

#include <SDL_opengl.h>

#include <algorithm>
#include <array>

#include "core/error.h"
#include "kaz2d/gl/gl_graphics_driver.h"
#include "kaz2d/gl/gl_text_font.h"
#include "pixmap/pixmap_transform.h"

namespace qrv {

namespace {

std::array<GLdouble, 16> savedModelView{};
std::array<GLdouble, 16> savedProjection{};

GLuint TextFontTexture() {
    static GLuint texture = 0;
    if (texture != 0) return texture;
    Ref<TPixmap> pixmap = GLTextFontPixmap();
    if (!pixmap) return 0;
    TSharedContextScope shared(TGLProfile::Compatibility);
    texture = TextureFromPixmap(pixmap, false);
    return texture;
}

void UploadLevels(Ref<TPixmap> pixmap, bool mipmapped) {
    for (GLint level = 0;; ++level) {
        glPixelStorei(GL_UNPACK_ROW_LENGTH, pixmap->Pitch() / BytesPerPixel(pixmap->Format()));
        glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, pixmap->Width(), pixmap->Height(), 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, pixmap->Pixels());
        if (!mipmapped || (pixmap->Width() == 1 && pixmap->Height() == 1)) break;
        pixmap = ResampleBilinear(pixmap, std::max(pixmap->Width() / 2, 1),
                                  std::max(pixmap->Height() / 2, 1));
        if (!pixmap) break;
    }
}

}  // namespace

void BeginGL2D() {
    glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_TRANSFORM_BIT);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetDoublev(GL_MODELVIEW_MATRIX, savedModelView.data());
    glGetDoublev(GL_PROJECTION_MATRIX, savedProjection.data());
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, viewport[2], viewport[3], 0, -1, 1);
    glDisable(GL_CULL_FACE);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_DEPTH_TEST);
}

void EndGL2D() {
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixd(savedProjection.data());
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixd(savedModelView.data());
    glPopAttrib();
}

void FitTextureSize(int32_t& width, int32_t& height) {
    width = NextPowerOfTwo(width);
    height = NextPowerOfTwo(height);
    for (;;) {
        glTexImage2D(GL_PROXY_TEXTURE_2D, 0, 4, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        GLint accepted = 0;
        glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &accepted);
        if (accepted != 0) return;
        if (width == 1 && height == 1) throw TRuntimeError(std::string("Unable to calculate tex size"));
        if (width > 1) width /= 2;
        if (height > 1) height /= 2;
    }
}

uint32_t TextureFromPixmap(Ref<TPixmap> pixmap, bool mipmapped) {
    if (!pixmap) return 0;
    if (pixmap->Format() != FormatRGBA8888) pixmap = pixmap->ConvertedTo(FormatRGBA8888);
    int32_t width = pixmap->Width();
    int32_t height = pixmap->Height();
    FitTextureSize(width, height);
    if (width != pixmap->Width() || height != pixmap->Height())
        pixmap = ResampleBilinear(pixmap, width, height);
    if (!pixmap) return 0;

    GLint boundTexture = 0;
    GLint rowLength = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundTexture);
    glGetIntegerv(GL_UNPACK_ROW_LENGTH, &rowLength);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    UploadLevels(pixmap, mipmapped);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(boundTexture));
    glPixelStorei(GL_UNPACK_ROW_LENGTH, rowLength);
    return texture;
}

void GLFillRect(int32_t x, int32_t y, int32_t width, int32_t height) {
    BeginGL2D();
    glBegin(GL_QUADS);
    glVertex2i(x, y);
    glVertex2i(x + width, y);
    glVertex2i(x + width, y + height);
    glVertex2i(x, y + height);
    glEnd();
    EndGL2D();
}

void GLBlitPixmap(const Ref<TPixmap>& pixmap, int32_t x, int32_t y) {
    if (!pixmap) return;
    Ref<TPixmap> flipped = FlipVertical(pixmap->ConvertedTo(FormatRGBA8888));
    if (!flipped) return;
    BeginGL2D();
    GLint rowLength = 0;
    glGetIntegerv(GL_UNPACK_ROW_LENGTH, &rowLength);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, flipped->Pitch() / 4);
    glRasterPos2i(0, 0);
    glBitmap(0, 0, 0, 0, static_cast<GLfloat>(x), static_cast<GLfloat>(-y - flipped->Height()), nullptr);
    glDrawPixels(flipped->Width(), flipped->Height(), GL_RGBA, GL_UNSIGNED_BYTE, flipped->Pixels());
    glPixelStorei(GL_UNPACK_ROW_LENGTH, rowLength);
    EndGL2D();
}

void GLPrintText(std::u16string_view text, int32_t x, int32_t y) {
    const GLuint texture = TextFontTexture();
    if (texture == 0) return;
    constexpr float kGlyphU = 1.0f / 128;
    BeginGL2D();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBegin(GL_QUADS);
    for (char16_t code : text) {
        if (code >= 32 && code <= 127) {
            const float u = static_cast<float>(code - 32) * kGlyphU;
            glTexCoord2f(u, 0);
            glVertex2i(x, y);
            glTexCoord2f(u + kGlyphU, 0);
            glVertex2i(x + GL_TEXT_GLYPH_WIDTH, y);
            glTexCoord2f(u + kGlyphU, 1);
            glVertex2i(x + GL_TEXT_GLYPH_WIDTH, y + GL_TEXT_GLYPH_HEIGHT);
            glTexCoord2f(u, 1);
            glVertex2i(x, y + GL_TEXT_GLYPH_HEIGHT);
        }
        x += GL_TEXT_GLYPH_WIDTH;
    }
    glEnd();
    EndGL2D();
}

}  // namespace qrv
