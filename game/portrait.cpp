#include "game/portrait.h"

#include <cmath>

#include "kaz2d/image_module.h"
#include "system/clock.h"
#include "system/random.h"

namespace zorvak {

namespace {

// An exponentially distributed wait with the given mean, truncated to whole milliseconds.
// RandomReal may give exactly 0, whose logarithm is minus infinity; that draw is taken as the
// smallest non-zero one instead, so the wait stays finite (about 37 means).
int32_t ExponentialWait(int meanMillis) {
    constexpr double SMALLEST_DRAW = 0x1p-53;
    double u = qrv::RandomReal(1, 0);
    if (u < SMALLEST_DRAW) u = SMALLEST_DRAW;
    return static_cast<int32_t>(-meanMillis * std::log(u));
}

// A uniform wait of lowest..lowest+span-1 milliseconds.
int32_t UniformWait(int lowest, int span) {
    return static_cast<int32_t>(qrv::RandomReal(span, 0) + lowest);
}

}  // namespace

TEye::TEye() : lastChange(qrv::MillisecondClock()), interval(ExponentialWait(2000)) {}

bool TEye::IsDue() const {
    return static_cast<int32_t>(qrv::MillisecondClock() - lastChange) > interval;
}

uint32_t TEye::DueTime() const {
    return lastChange + static_cast<uint32_t>(interval) + 1;
}

void TEye::AdvancePhase() {
    phase = phase + 1;
    if (phase == 3) {
        phase = 0;
        interval = ExponentialWait(meanOpenTime);
    } else if (phase == 2) {
        interval = UniformWait(50, 150);
    } else {
        interval = UniformWait(10, 40);
    }
    lastChange = qrv::MillisecondClock();
    current = frames[phase];
}

void TEye::Draw() {
    if (!current) current = frames[0];
    if (IsDue()) AdvancePhase();
    qrv::DrawImageAt(current, static_cast<float>(x), static_cast<float>(y), 0);
}

void TGirl::SetPicture(int index) {
    if (index >= pictureCount || index < 0 || index >= PICTURE_SLOTS) return;
    level = index;
    picture = pictures[index];
}

int TGirl::Update(int force) {
    if (!picture) picture = pictures[0];
    if (force != 1 && !eye->IsDue()) return 0;
    qrv::DrawImageAt(picture, static_cast<float>(x), static_cast<float>(y), 0);
    eye->Draw();
    return 1;
}

}  // namespace zorvak
