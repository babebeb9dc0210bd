#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "game/game.h"
#include "pixmap/pixmap.h"
#include "system/scripted_system_driver.h"

namespace zorvak_test {

// The game's 512 x 512 window on the test display at its paced 50 Hz, opened inside a scripted
// session so that time is virtual and input comes from the script. A sleep more than ten
// virtual minutes after the last scripted event raises TScriptRanOut, so a screen that never
// returns fails its test instead of hanging it. Every test plays a fresh game: the resources
// are loaded once per test program, in the first window, and each game shares them but has a
// portrait of its own (level 0 with its picture, eyes on this test's clock).
class GameWindow : public ::testing::Test {
protected:
    static constexpr int32_t kSize = 512;

    void SetUp() override;
    void TearDown() override;

    qrv::TScriptedSystemDriver& Script() { return session->Driver(); }
    uint32_t Now() { return session->Now(); }
    // The game's portrait.
    zorvak::TGirl& Girl() { return *game.resources.portrait; }
    // The session's virtual clock itself, under the watchdog.
    const qrv::Ref<qrv::TVirtualClock>& SessionClock() const { return virtualClock; }

    std::unique_ptr<qrv::TScriptedSession> session;
    qrv::Ref<qrv::TVirtualClock> virtualClock;
    zorvak::TGame game;

public:
    // The back-buffer pixel at window position (x, y) as 0xRRGGBB.
    static uint32_t PixelAt(int32_t x, int32_t y);
    // The whole back buffer.
    static qrv::Ref<qrv::TPixmap> Screen();
    // The decoded pixels of an embedded picture ("s0.png" ...).
    static qrv::Ref<qrv::TPixmap> EmbeddedPixmap(const char* name);
};

// What a screen test raises when the game keeps waiting long after its script has run out.
class TScriptRanOut : public std::runtime_error {
public:
    TScriptRanOut() : std::runtime_error("the game kept waiting after the scripted input ran out") {}
};

// Records every presented frame while it lives: the clock, the board's flags and, when asked,
// the whole back buffer as it was just before the present.
class TFrameRecorder {
public:
    struct TFrame {
        uint32_t time;
        int revealSpies;
        int submitArmed;
        qrv::Ref<qrv::TPixmap> screen;
    };

    explicit TFrameRecorder(const zorvak::TBoard& board, bool keepScreens = false);
    ~TFrameRecorder();
    TFrameRecorder(const TFrameRecorder&) = delete;
    TFrameRecorder& operator=(const TFrameRecorder&) = delete;

    const std::vector<TFrame>& Frames() const { return frames; }
    // Called at every present, after the frame is recorded.
    std::function<void()> onPresent;
    size_t Count() const { return frames.size(); }

private:
    static qrv::Ref<qrv::TObject> OnPresent(int32_t, qrv::Ref<qrv::TObject> data,
                                            qrv::Ref<qrv::TObject> context);

    const zorvak::TBoard& board;
    bool keepScreens;
    std::vector<TFrame> frames;
    qrv::Ref<qrv::TObject> token;
};

// Channels of two 0xRRGGBB colours differ by at most tolerance.
bool ColoursClose(uint32_t a, uint32_t b, int32_t tolerance);
// "#RRGGBB", for assertion messages.
std::string HexColour(uint32_t rgb);

}  // namespace zorvak_test
