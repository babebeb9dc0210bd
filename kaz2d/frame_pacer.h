#pragma once

#include <cstdint>

namespace qrv {

// Software frame pacing at a whole-number rate: a period of 1000 / hertz milliseconds, with the
// remainder of the division spread as one extra millisecond whenever it adds up to a whole
// frame's worth. A late frame restarts the schedule instead of carrying the lateness. Each wait
// sleeps to the frame's deadline on the clock, not for a length of time, so that waking late
// does not delay the frames after it.
class TFramePacer {
public:
    // Starts the schedule now. A rate of 0 or less does not pace: the period is 0 and no frame
    // waits.
    void Start(int32_t hertz);
    // Sleeps on the current clock until the next frame is due.
    void WaitForNextFrame();

private:
    int32_t hertz = 0;
    int32_t period = 0;
    int32_t remainder = 0;
    // Below hertz between frames, but hertz - 1 + remainder may not fit 32 bits near INT32_MAX.
    int64_t accumulated = 0;
    uint32_t nextPresent = 0;
};

}  // namespace qrv
