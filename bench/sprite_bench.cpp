// Frames of N textured, rotated, alpha-blended 32 x 32 sprites, drawn by the shader renderer
// (BM_Sprites<N>) and by the fixed-function one (BM_Sprites<N>_Peer) in the same run, without
// pacing. BM_SpritesOverPlainGL10000 sets the shader renderer beside the floor of this work: a
// plain OpenGL 3.3 core program (its _Peer) that writes the same quads into one buffer and
// draws them with one call per frame. Needs a display (the test display will do).
#define GL_GLEXT_PROTOTYPES 1
#include <SDL.h>
#include <SDL_opengl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string>
#include <vector>

#include "framework/framework.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/image_module.h"
#include "kaz2d/kaz2d_module.h"
#include "kaz2d/renderer_table.h"

namespace {

using namespace qrv;

constexpr int32_t kSide = 512;
constexpr int32_t kSprite = 32;

// A soft disc with a coloured pattern: every pixel has its own colour and partial alpha.
Ref<TPixmap> SpritePixmap() {
    Ref<TPixmap> pixmap = NewPixmap(kSprite, kSprite, FormatRGBA8888, 4);
    for (int32_t y = 0; y < kSprite; ++y) {
        for (int32_t x = 0; x < kSprite; ++x) {
            const int32_t dx = x - kSprite / 2;
            const int32_t dy = y - kSprite / 2;
            const uint32_t alpha = static_cast<uint32_t>(std::max(0, 255 - (dx * dx + dy * dy)));
            pixmap->SetPixelARGB(x, y, alpha << 24 | uint32_t(x * 8) << 16 | uint32_t(y * 8) << 8 | 0x80);
        }
    }
    return pixmap;
}

// The sprite's place and turn in a frame, the same for every program drawing it.
struct TSpritePose {
    float x;
    float y;
    float degrees;
};

TSpritePose PoseOf(int32_t i, int32_t frame) {
    return {static_cast<float>((i * 37 + frame) % kSide), static_cast<float>((i * 91) % kSide),
            static_cast<float>((i * 7 + frame) % 360)};
}

struct TSpriteScene {
    std::string renderer;
    Ref<TImage> sprite;
};

TSpriteScene& Scene() {
    static TSpriteScene scene;
    return scene;
}

// The window of the named renderer, reopened when the previous benchmark used the other one.
TSpriteScene* SceneFor(const std::string& renderer) {
    TSpriteScene& scene = Scene();
    if (scene.renderer == renderer && DefaultGraphics()) return &scene;
    if (!std::getenv("DISPLAY")) return nullptr;
    InitRendererModules();
    CloseGraphicsWindow();
    if (!SelectRenderer(renderer) || !OpenGraphicsWindow(kSide, kSide, 0, 0, 0)) return nullptr;
    scene.renderer = renderer;
    if (!scene.sprite) {
        scene.sprite = TImage::Load(SpritePixmap(), IMG_FILTERED, 0, 0, 0);
        CentreImageHandle(scene.sprite);
    }
    return &scene;
}

void DrawSprites(const TSpriteScene& scene, int32_t count, int32_t frame) {
    SetClearColor(20, 30, 40);
    ClearScreen();
    SetBlendMode(BLEND_ALPHA);
    SetDrawAlpha(0.75f);
    for (int32_t i = 0; i < count; ++i) {
        const TSpritePose pose = PoseOf(i, frame);
        SetDrawRotation(pose.degrees);
        DrawImageAt(scene.sprite, pose.x, pose.y, 0);
    }
    SetDrawRotation(0);
}

void RunSprites(benchmark::State& state, const char* renderer, int32_t count) {
    TSpriteScene* scene = SceneFor(renderer);
    if (!scene) {
        state.SkipWithError("no display for this renderer");
        return;
    }
    int32_t frame = 0;
    for (auto _ : state) {
        DrawSprites(*scene, count, frame++);
        PresentFrame(0);
    }
    state.counters["sprites/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * count, benchmark::Counter::kIsRate);
}

// The plain program: a 3.3 core context of its own, a program that samples the sprite texture
// with a uniform alpha, a static index buffer, and per frame one upload of the quads' vertices
// (position and texture coordinates) and one draw call.
class TPlainSprites {
public:
    bool Open() {
        // The framework's window goes first: only one program draws at a time.
        CloseGraphicsWindow();
        Scene().renderer.clear();
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        window = SDL_CreateWindow("plain sprites", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                  kSide, kSide, SDL_WINDOW_OPENGL);
        if (!window) return false;
        context = SDL_GL_CreateContext(window);
        if (!context) return false;
        SDL_GL_SetSwapInterval(0);
        return MakeObjects();
    }

    ~TPlainSprites() {
        if (context) {
            glDeleteBuffers(2, buffers.data());
            glDeleteVertexArrays(1, &vertexArray);
            glDeleteTextures(1, &texture);
            glDeleteProgram(program);
            SDL_GL_MakeCurrent(nullptr, nullptr);
            SDL_GL_DeleteContext(context);
        }
        if (window) SDL_DestroyWindow(window);
    }

    void DrawFrame(int32_t count, int32_t frame) {
        glClearColor(20 / 255.0f, 30 / 255.0f, 40 / 255.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        vertices.resize(static_cast<size_t>(count) * 16);
        float* v = vertices.data();
        constexpr float kHalf = kSprite / 2.0f;
        constexpr std::array<float, 8> kCorners{-kHalf, -kHalf, kHalf, -kHalf, kHalf, kHalf, -kHalf, kHalf};
        constexpr std::array<float, 8> kTexels{0, 0, 1, 0, 1, 1, 0, 1};
        for (int32_t i = 0; i < count; ++i) {
            const TSpritePose pose = PoseOf(i, frame);
            const float radians = pose.degrees * std::numbers::pi_v<float> / 180.0f;
            const float sine = std::sin(radians);
            const float cosine = std::cos(radians);
            for (size_t corner = 0; corner < 4; ++corner) {
                const float lx = kCorners[corner * 2];
                const float ly = kCorners[corner * 2 + 1];
                *v++ = lx * cosine - ly * sine + pose.x;
                *v++ = lx * sine + ly * cosine + pose.y;
                *v++ = kTexels[corner * 2];
                *v++ = kTexels[corner * 2 + 1];
            }
        }
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(float)),
                     vertices.data(), GL_STREAM_DRAW);
        glDrawElements(GL_TRIANGLES, count * 6, GL_UNSIGNED_INT, nullptr);
        SDL_GL_SwapWindow(window);
    }

private:
    static GLuint Shader(GLenum kind, const char* source) {
        const GLuint shader = glCreateShader(kind);
        glShaderSource(shader, 1, &source, nullptr);
        glCompileShader(shader);
        return shader;
    }

    bool MakeObjects() {
        const GLuint vertexShader = Shader(GL_VERTEX_SHADER, R"(#version 330 core
layout(location = 0) in vec2 position;
layout(location = 1) in vec2 texel;
out vec2 uv;
void main() {
    uv = texel;
    gl_Position = vec4(position.x / 256.0 - 1.0, 1.0 - position.y / 256.0, 0.0, 1.0);
})");
        const GLuint fragmentShader = Shader(GL_FRAGMENT_SHADER, R"(#version 330 core
uniform sampler2D image;
uniform float alpha;
in vec2 uv;
out vec4 colour;
void main() {
    vec4 texel = texture(image, uv);
    colour = vec4(texel.rgb, texel.a * alpha);
})");
        program = glCreateProgram();
        glAttachShader(program, vertexShader);
        glAttachShader(program, fragmentShader);
        glLinkProgram(program);
        glDeleteShader(vertexShader);
        glDeleteShader(fragmentShader);
        GLint linked = 0;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        if (!linked) return false;
        glUseProgram(program);
        glUniform1i(glGetUniformLocation(program, "image"), 0);
        glUniform1f(glGetUniformLocation(program, "alpha"), 0.75f);

        const Ref<TPixmap> pixmap = SpritePixmap()->ConvertedTo(FormatRGBA8888);
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, pixmap->Pitch() / 4);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kSprite, kSprite, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     pixmap->Pixels());
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);

        glGenVertexArrays(1, &vertexArray);
        glBindVertexArray(vertexArray);
        glGenBuffers(2, buffers.data());
        glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 16, nullptr);
        glEnableVertexAttribArray(1);
        glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 16, reinterpret_cast<void*>(8));
        // Two triangles per quad, for as many quads as any frame draws.
        std::vector<GLuint> indices;
        for (GLuint quad = 0; quad < 50000; ++quad)
            for (const GLuint corner : {0u, 1u, 2u, 0u, 2u, 3u}) indices.push_back(quad * 4 + corner);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(GLuint)),
                     indices.data(), GL_STATIC_DRAW);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        return glGetError() == GL_NO_ERROR;
    }

    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    GLuint program = 0;
    GLuint texture = 0;
    GLuint vertexArray = 0;
    std::array<GLuint, 2> buffers{};
    std::vector<float> vertices;
};

void RunPlainSprites(benchmark::State& state, int32_t count) {
    if (!std::getenv("DISPLAY")) {
        state.SkipWithError("no display for an OpenGL window");
        return;
    }
    TPlainSprites plain;
    if (!plain.Open()) {
        state.SkipWithError("no OpenGL 3.3 core context");
        return;
    }
    int32_t frame = 0;
    for (auto _ : state) plain.DrawFrame(count, frame++);
    state.counters["sprites/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * count, benchmark::Counter::kIsRate);
}

#define SPRITE_BENCHMARKS(N)                                                            \
    void BM_Sprites##N(benchmark::State& state) { RunSprites(state, "glcore", N); }      \
    void BM_Sprites##N##_Peer(benchmark::State& state) { RunSprites(state, "opengl", N); } \
    BENCHMARK(BM_Sprites##N)->Unit(benchmark::kMillisecond)->UseRealTime();               \
    BENCHMARK(BM_Sprites##N##_Peer)->Unit(benchmark::kMillisecond)->UseRealTime();

SPRITE_BENCHMARKS(100)
SPRITE_BENCHMARKS(1000)
SPRITE_BENCHMARKS(10000)
SPRITE_BENCHMARKS(50000)

void BM_SpritesOverPlainGL10000(benchmark::State& state) { RunSprites(state, "glcore", 10000); }
void BM_SpritesOverPlainGL10000_Peer(benchmark::State& state) { RunPlainSprites(state, 10000); }
BENCHMARK(BM_SpritesOverPlainGL10000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SpritesOverPlainGL10000_Peer)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
