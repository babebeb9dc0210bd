#include "kaz2d/draw_target.h"

#include <array>
#include <memory>
#include <utility>

#include "kaz2d/graphics_module.h"
#include "kaz2d/kaz2d_graphics.h"

namespace qrv {

namespace {

struct TDrawTarget {
    Ref<TImage> image;
    int32_t index = 0;
    Ref<TImageFrame> frame;  // keeps the texture drawn into alive while it is the target
    Ref<TKaz2DDriver> driver;
    std::weak_ptr<TKaz2DGraphics> context;
    std::array<int32_t, 4> windowViewport{};  // the context's viewport, given back afterwards
    int32_t generation = 0;                    // the default graphics' when drawing began
};

TDrawTarget target;
std::string failure;

bool Fail(std::string reason) {
    failure = std::move(reason);
    return false;
}

void SetViewportFields(TKaz2DGraphics& c, const std::array<int32_t, 4>& viewport) {
    c.viewportX = viewport[0];
    c.viewportY = viewport[1];
    c.viewportWidth = viewport[2];
    c.viewportHeight = viewport[3];
}

}  // namespace

bool SetDrawTarget(const Ref<TImage>& image, int32_t frame) {
    failure.clear();
    ReleaseDrawTarget();
    if (!image) return true;
    const Ref<TKaz2DGraphics>& c = TKaz2DGraphics::CurrentContext();
    if (!c || !c->driver || !c->graphics) return Fail("no graphics context is current");
    if (!image->HasFrame(frame))
        return Fail("the image has no frame " + std::to_string(frame));
    if (image->width <= 0 || image->height <= 0) return Fail("the image is empty");
    const Ref<TPixmap> pixels = image->Lock(frame, true, false);
    if (!pixels) return Fail("no memory for the image's pixels");
    if (pixels->Width() != image->width || pixels->Height() != image->height)
        return Fail("the frame's pixels are not of the image's size");

    std::string reason;
    const TKaz2DDriver* renderer = c->driver.get();
    Ref<TImageFrame> made =
        c->driver->BeginImageTarget(image->FrameMadeBy(frame, renderer), pixels, image->flags, reason);
    if (!made) return Fail(reason.empty() ? "the renderer cannot draw into the image" : reason);
    image->TakeDrawnFrame(frame, renderer, made, nullptr);
    target = {image, frame, std::move(made), c->driver, c,
              {c->viewportX, c->viewportY, c->viewportWidth, c->viewportHeight},
              contextGeneration};
    SetViewportFields(*c, {0, 0, image->width, image->height});
    c->ApplyState();
    return true;
}

Ref<TImage> DrawTargetImage() {
    return target.image;
}

std::string DrawTargetFailureReason() {
    return failure;
}

void ReleaseDrawTarget() {
    if (!target.image) return;
    const TDrawTarget ending = std::exchange(target, {});
    const Ref<TPixmap> drawn = ending.driver->EndImageTarget();
    // Without the drawing (its context went first) the frame is made again from the pixels
    // kept from before; after the default graphics changed, from the pixels drawn.
    const bool keepFrame = drawn && ending.generation == contextGeneration;
    ending.image->TakeDrawnFrame(ending.index, ending.driver.get(),
                                 keepFrame ? ending.frame : nullptr, drawn);
    const Ref<TKaz2DGraphics> c = ending.context.lock();
    if (!c || c != TKaz2DGraphics::CurrentContext() || !c->driver) return;
    SetViewportFields(*c, ending.windowViewport);
    c->ApplyState();
}

}  // namespace qrv
