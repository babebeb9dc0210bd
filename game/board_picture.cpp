#include "game/board_picture.h"

#include "kaz2d/graphics_module.h"
#include "kaz2d/image_module.h"
#include "kaz2d/kaz2d_driver.h"
#include "kaz2d/kaz2d_module.h"

namespace zorvak {

namespace {

void NoteHandle(const qrv::Ref<qrv::TImage>& image, float (&handle)[2]) {
    if (!image) return;
    handle[0] = image->handleX;
    handle[1] = image->handleY;
}

// Whether the image's first frame is opaque and at least as large as the window, so that
// drawing it at the top left replaces every pixel of the window. The renderer frame knows its
// opacity from when it was made.
bool CoversWindowOpaquely(const qrv::Ref<qrv::TImage>& image) {
    if (!image || image->width < qrv::CurrentWidth() || image->height < qrv::CurrentHeight())
        return false;
    const qrv::Ref<qrv::TImageFrame> frame = image->Frame(0);
    return frame && frame->Opaque();
}

}  // namespace

bool TBoardInputs::operator==(const TBoardInputs& other) const {
    for (int i = 0; i < 3; ++i)
        if (handles[i][0] != other.handles[i][0] || handles[i][1] != other.handles[i][1]) return false;
    return generation == other.generation && spies == other.spies && finders == other.finders && marks == other.marks &&
           submitArmed == other.submitArmed && revealSpies == other.revealSpies &&
           background == other.background && button == other.button &&
           spyMark == other.spyMark && font == other.font;
}

TBoardInputs CurrentBoardInputs(const TBoard& board, const TGameResources& resources) {
    TBoardInputs inputs;
    inputs.generation = qrv::contextGeneration;
    inputs.spies = board.spies;
    inputs.finders = board.finders;
    inputs.marks = board.marks;
    inputs.submitArmed = board.submitArmed;
    inputs.revealSpies = board.revealSpies;
    inputs.background = resources.backgroundImage;
    inputs.button = resources.buttonImage;
    inputs.spyMark = resources.spyMarkImage;
    NoteHandle(resources.backgroundImage, inputs.handles[0]);
    NoteHandle(resources.buttonImage, inputs.handles[1]);
    NoteHandle(resources.spyMarkImage, inputs.handles[2]);
    inputs.font = resources.largeFont;
    return inputs;
}

bool TBoardPicture::Shows(const TBoardInputs& inputs) const {
    return picture && picture->width == qrv::CurrentWidth() &&
           picture->height == qrv::CurrentHeight() && shown == inputs;
}

void TBoardPicture::Draw() const {
    const int32_t blend = qrv::GetBlendMode();
    qrv::SetBlendMode(qrv::BLEND_SOLID);
    qrv::DrawImageAt(picture, 0, 0, 0);
    qrv::SetBlendMode(blend);
}

void TBoardPicture::NoteDrawn(const TBoardInputs& inputs) {
    if (!(drawnBefore && lastDrawn == inputs)) {
        lastDrawn = inputs;
        drawnBefore = true;
        picture = nullptr;
        return;
    }
    const bool backgroundAtCorner = inputs.handles[0][0] == 0 && inputs.handles[0][1] == 0;
    if (Shows(inputs) || !backgroundAtCorner || !CoversWindowOpaquely(inputs.background)) return;
    const qrv::Ref<qrv::TPixmap> window =
        qrv::GrabPixmapRect(0, 0, qrv::CurrentWidth(), qrv::CurrentHeight());
    // Unfiltered and unmasked: drawn untransformed, every pixel comes back as it was read.
    picture = window ? qrv::TImage::Load(window, 0, 0, 0, 0) : nullptr;
    shown = inputs;
    // The picture is drawn only into this window (the context generation is one of the
    // inputs), so once its renderer frame is made the grabbed pixels are not needed again.
    if (picture && picture->Frame(0)) picture->pixmaps[0] = nullptr;
}

bool PlainBoardDrawing() {
    if (!qrv::CurrentGraphics() || qrv::GetDrawAlpha() != 1.0f) return false;
    int32_t x = 0, y = 0, width = 0, height = 0;
    qrv::GetViewportRect(x, y, width, height);
    if (x != 0 || y != 0 || width != qrv::CurrentWidth() || height != qrv::CurrentHeight())
        return false;
    float originX = 0, originY = 0, handleX = 0, handleY = 0, scaleX = 0, scaleY = 0;
    qrv::GetDrawOrigin(originX, originY);
    qrv::GetDrawHandle(handleX, handleY);
    qrv::GetDrawScale(scaleX, scaleY);
    return originX == 0 && originY == 0 && handleX == 0 && handleY == 0 && scaleX == 1 &&
           scaleY == 1 && qrv::GetDrawRotation() == 0;
}

}  // namespace zorvak
