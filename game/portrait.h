#pragma once

#include <array>
#include <cstdint>

#include "core/object.h"
#include "kaz2d/image.h"

namespace zorvak {

// The blinking eyes over the portrait: frame 0 between blinks, frames 1 and 2 during a blink.
// Waits are measured on the millisecond clock as 32-bit differences, so its wrap does no harm.
class TEye : public qrv::TObject {
public:
    static constexpr int FRAME_COUNT = 3;

    // Starts between blinks, with an exponential wait before the first one.
    TEye();

    // Advances the blink when its phase is due and draws the current eye picture at (x, y).
    void Draw();
    // True when the current phase has lasted longer than its interval.
    [[nodiscard]] bool IsDue() const;
    // The first clock reading at which IsDue holds.
    [[nodiscard]] uint32_t DueTime() const;

    std::array<qrv::Ref<qrv::TImage>, FRAME_COUNT> frames;
    int phase = 0;              // 0 between blinks, 1 and 2 during a blink
    uint32_t lastChange = 0;    // clock reading of the last phase change
    int32_t interval = 0;       // milliseconds the current phase lasts
    int x = 0;
    int y = 0;
    int meanOpenTime = 2000;    // mean wait between blinks, in milliseconds
    qrv::Ref<qrv::TImage> current;

private:
    void AdvancePhase();
};

// The heroine's reward picture, one of `pictureCount` chosen by `level`, with the eyes over it.
class TGirl : public qrv::TObject {
public:
    static constexpr int PICTURE_SLOTS = 10;

    // Indices outside 0..pictureCount-1 change nothing.
    void SetPicture(int index);
    // Draws the picture and the eyes when force is 1 or the eyes are due to change; 1 when it
    // drew, 0 when it did not.
    [[nodiscard]] int Update(int force);

    int level = -1;
    qrv::Ref<qrv::TImage> picture;
    qrv::Ref<TEye> eye = std::make_shared<TEye>();
    std::array<qrv::Ref<qrv::TImage>, PICTURE_SLOTS> pictures;
    int pictureCount = 0;
    int x = 0;
    int y = 0;
};

}  // namespace zorvak
