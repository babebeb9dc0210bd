// The peer of the start-up, memory and idle figures: a plain SDL2 + OpenGL program with nothing
// of the framework. "plain_window" opens a 512 x 512 window, presents one cleared frame and
// then waits for events; "plain_window idle" also redraws every 500 ms, waiting in
// SDL_WaitEventTimeout in between: it draws a 512 x 512 picture from a texture, as a screen
// made of pictures would. "plain_window picture" draws that picture over the top left
// 384 x 384 pixels of its first frame (the rest stays cleared), so that its start-up includes
// what the first textured draw costs under software OpenGL, then waits like the first. It runs
// until it is ended.
#include <SDL.h>
#include <SDL_opengl.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr int SIZE = 512;
constexpr Uint32 REDRAW_MILLIS = 500;

void PresentClearedFrame(SDL_Window* window) {
    glClearColor(0.9f, 0.9f, 0.9f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    SDL_GL_SwapWindow(window);
}

// A texture of the window's size, made once.
GLuint MakePicture() {
    std::vector<uint32_t> pixels(SIZE * SIZE);
    for (int i = 0; i < SIZE * SIZE; ++i) pixels[i] = 0xFF000000u | static_cast<uint32_t>(i * 2654435761u >> 8);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, SIZE, SIZE, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return texture;
}

// Draws the picture over the window from its top left corner to (right, bottom) in GL's
// coordinates (-1 to 1), on a cleared frame, and presents it.
void PresentPicture(SDL_Window* window, GLuint texture, float right = 1, float bottom = -1) {
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0), glVertex2f(-1, 1);
    glTexCoord2f(1, 0), glVertex2f(right, 1);
    glTexCoord2f(1, 1), glVertex2f(right, bottom);
    glTexCoord2f(0, 1), glVertex2f(-1, bottom);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    SDL_GL_SwapWindow(window);
}

}  // namespace

int main(int argc, char** argv) {
    const bool redraw = argc > 1 && std::strcmp(argv[1], "idle") == 0;
    const bool picturedFirst = argc > 1 && std::strcmp(argv[1], "picture") == 0;
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window* window = SDL_CreateWindow("plain window", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                          SIZE, SIZE, SDL_WINDOW_OPENGL);
    if (!window) return 1;
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context) return 1;
    SDL_GL_SetSwapInterval(0);
    if (picturedFirst) {
        glClearColor(0.9f, 0.9f, 0.9f, 1.0f);
        PresentPicture(window, MakePicture(), 0.5f, -0.5f);  // 384 x 384 of 512 x 512
    } else {
        PresentClearedFrame(window);
    }
    const GLuint picture = redraw ? MakePicture() : 0;
    Uint32 lastDraw = SDL_GetTicks();
    for (;;) {
        SDL_Event event;
        const Uint32 since = SDL_GetTicks() - lastDraw;
        const int wait = redraw ? static_cast<int>(since < REDRAW_MILLIS ? REDRAW_MILLIS - since : 0) : -1;
        if (SDL_WaitEventTimeout(&event, wait) && event.type == SDL_QUIT) break;
        if (redraw && SDL_GetTicks() - lastDraw >= REDRAW_MILLIS) {
            PresentPicture(window, picture);
            lastDraw = SDL_GetTicks();
        }
    }
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
