#pragma once

#include <cstdint>
#include <string>

#include "kaz2d/image.h"

namespace qrv {

// Drawing into an image instead of the window. While an image frame is the target, every
// drawing call of the current context (shapes, images, text, pixmaps, clearing, and reading
// pixels back) works on the image: window pixel (0, 0) is the image's top left and the
// viewport covers the image. The context's other drawing state stays as it was.
//
// The image's kept pixels are brought up to date when drawing goes back to the window: the
// drawing is read back into the frame's pixmap, so Lock, the pixmap reads and frames made
// again later (for another renderer, or after the window reopens) all show it. Until then they
// show the pixels from before.
//
// Drawing goes back to the window by SetDrawTarget(nullptr), and also when a frame is
// presented, when another context is selected and when the window closes, so that a target
// never outlives the frame it was drawn in. Drawing a frame into itself draws nothing.

// Makes the image frame the target of the current context's drawing, or the window for none,
// ending an earlier target first. False where drawing into that image cannot be had (no
// current context, no such frame, an empty image, a renderer or OpenGL without the means);
// drawing then goes to the window and DrawTargetFailureReason says why.
[[nodiscard]] bool SetDrawTarget(const Ref<TImage>& image, int32_t frame = 0);
// The image drawing goes into; none while it goes to the window.
[[nodiscard]] Ref<TImage> DrawTargetImage();
// Why the last SetDrawTarget failed; empty after one that succeeded.
[[nodiscard]] std::string DrawTargetFailureReason();
// Sends drawing back to the window, keeping what was drawn; nothing while it goes there.
// Renderers call it before they present or switch contexts.
void ReleaseDrawTarget();

}  // namespace qrv
