// Sprites: darts loaded from a PNG fly around the window, each turning and growing and
// shrinking on its own. Pixel-exact collisions light the darts that touch each other in red.
// Escape or the window's close button ends it.

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "example_run.h"
#include "framework/framework.h"

namespace {

constexpr int WIDTH = 480;
constexpr int HEIGHT = 320;

// A sprite is an object of the framework's model, so the collision layers can hand it back as
// the id of a shape that was hit.
struct TSprite : qrv::TObject {
    float x, y, dx, dy, angle, spin, phase;
    bool hit = false;

    float Scale() const { return 1.0f + 0.4f * std::sin(phase); }
    void Move() {
        x += dx;
        y += dy;
        if (x < 0 || x > WIDTH) dx = -dx;
        if (y < 20 || y > HEIGHT) dy = -dy;
        angle += spin;
        phase += 0.05f;
    }
};

std::vector<std::shared_ptr<TSprite>> MakeSprites() {
    std::vector<std::shared_ptr<TSprite>> sprites;
    for (int i = 0; i < 8; ++i) {
        auto sprite = std::make_shared<TSprite>();
        // The first two start on top of each other and drift apart slowly.
        const float f = static_cast<float>(i);
        sprite->x = i < 2 ? 120.0f + 6.0f * f : 40.0f + 55.0f * f;
        sprite->y = i < 2 ? 160.0f : 60.0f + static_cast<float>((i * 97) % 240);
        sprite->dx = i < 2 ? (i == 0 ? -0.5f : 0.5f) : 1.0f + 0.3f * static_cast<float>(i % 3);
        sprite->dy = i < 2 ? 0.0f : (i % 2 ? 1.2f : -0.9f);
        sprite->angle = 40.0f * f;
        sprite->spin = i % 2 ? 2.0f : -3.0f;
        sprite->phase = f;
        sprites.push_back(sprite);
    }
    return sprites;
}

// Each dart is tested against the darts already stored in layer 0, then stored there itself,
// so every touching pair is found once; both of its darts light up.
void FindCollisions(const qrv::Ref<qrv::TImage>& dart,
                    const std::vector<std::shared_ptr<TSprite>>& sprites) {
    qrv::ResetCollisionLayers(0);
    for (const auto& sprite : sprites) sprite->hit = false;
    for (const auto& sprite : sprites) {
        qrv::SetDrawTransform(sprite->angle, sprite->Scale(), sprite->Scale());
        for (const auto& id : qrv::CollideImageAt(dart, sprite->x, sprite->y, 0, 1, 1, sprite)) {
            sprite->hit = true;
            std::dynamic_pointer_cast<TSprite>(id)->hit = true;
        }
    }
}

int DrawSprites(const qrv::Ref<qrv::TImage>& dart,
                const std::vector<std::shared_ptr<TSprite>>& sprites) {
    int touching = 0;
    for (const auto& sprite : sprites) {
        if (sprite->hit) {
            qrv::SetDrawColor(255, 60, 40);
            ++touching;
        } else {
            qrv::SetDrawColor(90, 220, 120);
        }
        qrv::SetDrawTransform(sprite->angle, sprite->Scale(), sprite->Scale());
        qrv::DrawImageAt(dart, sprite->x, sprite->y, 0);
    }
    return touching;
}

}  // namespace

int main(int argc, char** argv) {
    qrv::InitFramework();
    ExampleRun run(argc, argv);
    if (!qrv::OpenGraphicsWindow(WIDTH, HEIGHT, 0, 60, 0)) {
        std::fprintf(stderr, "sprites: no window\n");
        return 1;
    }
    // Turning and scaling happen around the dart's centre; its transparent corners let the
    // background through.
    qrv::SetAutoCentreHandle(true);
    qrv::Ref<qrv::TImage> dart = qrv::LoadImageFromUrl(u"dart.png", qrv::IMG_FILTERED);
    if (!dart) {
        std::fprintf(stderr, "sprites: cannot load dart.png\n");
        return 1;
    }
    qrv::SetBlendMode(qrv::BLEND_ALPHA);
    qrv::SetClearColor(20, 24, 40);
    auto sprites = MakeSprites();

    do {
        qrv::ClearScreen();
        for (const auto& sprite : sprites) sprite->Move();
        FindCollisions(dart, sprites);
        const int touching = DrawSprites(dart, sprites);
        qrv::SetDrawTransform(0.0f, 1.0f, 1.0f);
        qrv::SetDrawColor(255, 255, 255);
        qrv::DrawTextAt(u"touching: " + qrv::IntegerText(touching), 4, 2);
    } while (run.PresentAndContinue());
    return run.ExitCode();
}
