#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/object.h"
#include "game/game.h"
#include "pixmap/pixmap.h"
#include "system/clock.h"
#include "system/scripted_system_driver.h"

namespace zorvak_test {

// Raised when a program sleeps past the deadline: the script is not going to answer it, and a
// wait on virtual time would otherwise never end.
class TScriptStalled : public std::runtime_error {
public:
    TScriptStalled() : std::runtime_error("the program still waits after the script ended") {}
};

// The session's virtual clock with a deadline on sleeping.
class TDeadlineClock final : public qrv::TClock {
public:
    TDeadlineClock(qrv::Ref<qrv::TVirtualClock> time, uint32_t deadline)
        : deadline(deadline), time(std::move(time)) {}
    uint32_t Milliseconds() override { return time->Milliseconds(); }
    void Delay(int32_t ms) override;
    uint32_t deadline;

private:
    qrv::Ref<qrv::TVirtualClock> time;
};

// What a presented frame showed, told apart by two probe pixels: a narration line stands on
// the cleared (black) screen; a portrait line has the opaque dialogue frame over the portrait;
// a fade frame shows the portrait without the frame.
enum class TShown { Narration, PortraitLine, FadeFrame };

struct TShownLine {
    std::u16string text;
    TShown kind;
    int32_t randomState;    // the generator's state when the line appeared
    uint32_t cornerColour;  // the screen's top-left pixel (portrait or cleared screen)
};

// A player that answers every story line with a key press a little after it appears, and
// records each line of the game as it appears and the frames of every cross-fade. It listens on
// the present hook, so it sees exactly the frames the player would.
class TStoryPlayer final : public qrv::TObject,
                           public std::enable_shared_from_this<TStoryPlayer> {
public:
    TStoryPlayer(qrv::TScriptedSystemDriver& script, const zorvak::TGame& game,
                 int32_t answerKey = 13);
    void Start();
    void Stop();

    // How long after a line appears the player answers it.
    uint32_t answerDelay = 40;
    // Escape instead of the answer key on the line of this index (0 first).
    size_t escapeOnLine = SIZE_MAX;
    // Escape as this fade frame (0 first) is shown.
    int escapeOnFadeFrame = -1;

    std::vector<TShownLine> lines;
    int fadeFrames = 0;
    int presents = 0;
    // Every presented frame, when asked for.
    bool keepFrames = false;
    std::vector<qrv::Ref<qrv::TPixmap>> frames;

    std::vector<std::u16string> Texts() const;

private:
    static qrv::Ref<qrv::TObject> OnPresent(int32_t, qrv::Ref<qrv::TObject> data,
                                           qrv::Ref<qrv::TObject> context);
    void Record();
    TShown Classify() const;
    void Answer(size_t lineIndex);
    void PickProbe();

    qrv::TScriptedSystemDriver& script;
    const zorvak::TGame& game;
    int32_t answerKey;
    int32_t frameX = -1, frameY = -1;  // an opaque pixel of the dialogue frame
    uint32_t frameColour = 0;
};

}  // namespace zorvak_test
