// Game pads through the SDL driver, played by SDL's virtual game controllers: they need no
// display, and SDL maps them as standard controllers.

#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "event_recorder.h"
#include "system/event.h"
#include "system/input.h"
#include "system/keys.h"
#include "system/sdl/sdl_system_driver.h"

namespace {

using qrv::test::TRecording;
using TRecorded = qrv::test::TEventRecorder::TRecorded;

// A virtual game controller with SDL's standard buttons and axes, plugged in while it lives.
class TVirtualPad {
public:
    TVirtualPad() {
        const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER,
                                                    SDL_CONTROLLER_AXIS_MAX,
                                                    SDL_CONTROLLER_BUTTON_MAX, 0);
        if (index >= 0) joystick = SDL_JoystickOpen(index);
    }
    ~TVirtualPad() { Unplug(); }
    TVirtualPad(const TVirtualPad&) = delete;
    TVirtualPad& operator=(const TVirtualPad&) = delete;

    bool Plugged() const { return joystick != nullptr; }
    // The new state reaches SDL's queue with the next pump.
    void Button(SDL_GameControllerButton button, bool down) {
        EXPECT_EQ(SDL_JoystickSetVirtualButton(joystick, button, down), 0) << SDL_GetError();
    }
    void Axis(SDL_GameControllerAxis axis, Sint16 value) {
        EXPECT_EQ(SDL_JoystickSetVirtualAxis(joystick, axis, value), 0) << SDL_GetError();
    }
    void Unplug() {
        if (!joystick) return;
        const SDL_JoystickID instance = SDL_JoystickInstanceID(joystick);
        SDL_JoystickClose(joystick);
        joystick = nullptr;
        // Device indices move when others leave: find this one's now.
        for (int index = 0; index < SDL_NumJoysticks(); ++index)
            if (SDL_JoystickGetDeviceInstanceID(index) == instance) SDL_JoystickDetachVirtual(index);
    }

private:
    SDL_Joystick* joystick = nullptr;
};

class Pads : public testing::Test {
protected:
    void SetUp() override {
        previous = qrv::SetSystemDriver(driver);
        qrv::StartInputPolling();
#ifdef __EMSCRIPTEN__
        if (!SDL_WasInit(SDL_INIT_GAMECONTROLLER))
            GTEST_SKIP() << "node has no navigator.getGamepads: the driver starts no game controllers";
#endif
        {
            TVirtualPad probe;
            if (!probe.Plugged()) {
#if defined(_WIN32) || defined(__EMSCRIPTEN__)
                GTEST_SKIP() << "SDL's virtual joysticks do not work here: " << SDL_GetError();
#else
                FAIL() << "no virtual joystick: " << SDL_GetError();
#endif
            }
        }
        // The probe's arrival and departure, and anything an earlier test left.
        qrv::PumpMessages();
    }
    void TearDown() override {
        qrv::StopInputPolling();
        qrv::SetSystemDriver(previous);
    }

    static std::vector<TRecorded> PadConnections(const qrv::test::TEventRecorder& recorder) {
        std::vector<TRecorded> found;
        for (const auto& event : recorder.events)
            if (event.id == qrv::EVENT_PADCONNECT || event.id == qrv::EVENT_PADDISCONNECT)
                found.push_back(event);
        return found;
    }

    std::shared_ptr<qrv::TSDLSystemDriver> driver = std::make_shared<qrv::TSDLSystemDriver>();
    qrv::Ref<qrv::TSystemDriver> previous;
};

TEST_F(Pads, APressIsCountedOnceAndHeldUntilReleased) {
    using namespace qrv;
    TRecording recording;
    TVirtualPad pad;
    EXPECT_EQ(PadCount(), 1);
    EXPECT_EQ(PadIsConnected(0), 1);
    EXPECT_FALSE(PadName(0).empty());

    pad.Button(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_EQ(PadButtonHitCount(0, PAD_BUTTON_A), 1);
    EXPECT_EQ(PadButtonHitCount(0, PAD_BUTTON_A), 0) << "the count resets when read";
    EXPECT_EQ(PadButtonIsDown(0, PAD_BUTTON_A), 1);
    EXPECT_EQ(PadButtonIsDown(0, PAD_BUTTON_B), 0);
    pad.Button(SDL_CONTROLLER_BUTTON_A, false);
    EXPECT_EQ(PadButtonIsDown(0, PAD_BUTTON_A), 0);

    // Two presses between reads, each seen by a pump.
    pad.Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    PumpMessages();
    pad.Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
    PumpMessages();
    pad.Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    EXPECT_EQ(PadButtonHitCount(0, PAD_BUTTON_DPAD_RIGHT), 2);

    EXPECT_EQ(recording->OfId(EVENT_PADCONNECT).size(), 1u)
        << "announced once, although both the first poll and SDL's queue report it";
    EXPECT_EQ(recording->OfId(EVENT_PADBUTTONDOWN).front(),
              (TRecorded{EVENT_PADBUTTONDOWN, PAD_BUTTON_A, 0, 0, 0}));
    EXPECT_EQ(recording->OfId(EVENT_PADBUTTONUP).front(),
              (TRecorded{EVENT_PADBUTTONUP, PAD_BUTTON_A, 0, 0, 0}));

    // Unknown pads, buttons and axes.
    EXPECT_EQ(PadIsConnected(-1) + PadButtonIsDown(1, PAD_BUTTON_DPAD_RIGHT), 0);
    EXPECT_EQ(PadButtonIsDown(0, 0) + PadButtonIsDown(0, PAD_BUTTON_DPAD_RIGHT + 1), 0);
    EXPECT_EQ(PadAxis(0, 0) + PadAxis(0, PAD_AXIS_TRIGGER_RIGHT + 1), 0.0);
}

TEST_F(Pads, AxesKeepTheirSignAndHaveADeadZone) {
    using namespace qrv;
    TRecording recording;
    TVirtualPad pad;
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 32767);
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, -32768);
    pad.Axis(SDL_CONTROLLER_AXIS_RIGHTX, 4915);   // just inside 0.15 of full scale
    pad.Axis(SDL_CONTROLLER_AXIS_RIGHTY, -4917);  // just outside
    pad.Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
    EXPECT_EQ(PadAxis(0, PAD_AXIS_LEFT_X), 1.0);
    EXPECT_EQ(PadAxis(0, PAD_AXIS_LEFT_Y), -1.0);
    EXPECT_EQ(PadAxis(0, PAD_AXIS_RIGHT_X), 0.0);
    EXPECT_LT(PadAxis(0, PAD_AXIS_RIGHT_Y), 0.0);
    EXPECT_GT(PadAxis(0, PAD_AXIS_RIGHT_Y), -0.001) << "the reading starts at the zone's edge";
    EXPECT_EQ(PadAxis(0, PAD_AXIS_TRIGGER_RIGHT), 1.0);

    // Halfway beyond the dead zone reads a half; the events carry SDL's unscaled value.
    const Sint16 half = static_cast<Sint16>(32767 * (PAD_DEAD_ZONE + (1 - PAD_DEAD_ZONE) / 2));
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, half);
    pad.Axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, half);
    EXPECT_NEAR(PadAxis(0, PAD_AXIS_LEFT_X), 0.5, 1e-4);
    EXPECT_GT(PadAxis(0, PAD_AXIS_TRIGGER_LEFT), 0.0);
    EXPECT_EQ(recording->OfId(EVENT_PADAXIS).front(),
              (TRecorded{EVENT_PADAXIS, PAD_AXIS_LEFT_X, 0, 0, 32767}));

    pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
    EXPECT_EQ(PadAxis(0, PAD_AXIS_LEFT_X), 0.0);
}

TEST_F(Pads, TwoPadsAndAnUnpluggedPadsNumberGoingToTheNext) {
    using namespace qrv;
    TRecording recording;
    TVirtualPad first, second;
    EXPECT_EQ(PadCount(), 2);
    second.Button(SDL_CONTROLLER_BUTTON_B, true);
    first.Axis(SDL_CONTROLLER_AXIS_LEFTX, -32767);
    EXPECT_EQ(PadButtonIsDown(1, PAD_BUTTON_B), 1);
    EXPECT_EQ(PadButtonIsDown(0, PAD_BUTTON_B), 0);
    EXPECT_EQ(PadAxis(0, PAD_AXIS_LEFT_X), -1.0);
    EXPECT_EQ(PadAxis(1, PAD_AXIS_LEFT_X), 0.0);

    first.Unplug();
    EXPECT_EQ(PadCount(), 1);
    EXPECT_EQ(PadIsConnected(0), 0);
    EXPECT_EQ(PadAxis(0, PAD_AXIS_LEFT_X), 0.0) << "an unplugged pad reads as nothing";
    EXPECT_EQ(PadButtonIsDown(1, PAD_BUTTON_B), 1) << "the other pad keeps its number and state";

    // The freed number goes to the next pad; the remaining one keeps 1.
    TVirtualPad third;
    EXPECT_EQ(PadCount(), 2);
    EXPECT_EQ(PadIsConnected(0), 1);
    EXPECT_EQ(PadAxis(0, PAD_AXIS_LEFT_X), 0.0) << "the new pad starts afresh";
    third.Button(SDL_CONTROLLER_BUTTON_START, true);
    EXPECT_EQ(PadButtonHitCount(0, PAD_BUTTON_START), 1);
    EXPECT_EQ(PadButtonHitCount(1, PAD_BUTTON_START), 0);

    second.Unplug();
    third.Unplug();
    EXPECT_EQ(PadCount(), 0);
    const auto connect = [](int32_t pad) { return TRecorded{EVENT_PADCONNECT, 0, 0, pad, 0}; };
    const auto disconnect = [](int32_t pad) { return TRecorded{EVENT_PADDISCONNECT, 0, 0, pad, 0}; };
    EXPECT_EQ(PadConnections(*recording),
              (std::vector<TRecorded>{connect(0), connect(1), disconnect(0), connect(0),
                                      disconnect(1), disconnect(0)}))
        << recording->Describe();
}

// A driver made while pads are plugged in finds them at its first poll, and announces them again
// to polled input that starts later.
TEST_F(Pads, ADriverMadeLaterFindsThePadsPresent) {
    using namespace qrv;
    TVirtualPad first, second;
    EXPECT_EQ(PadCount(), 2);
    first.Axis(SDL_CONTROLLER_AXIS_RIGHTY, 32767);
    PumpMessages();
    // Polling restarted for the new driver after it pumped: the pads are announced again.
    TRecording recording;
    SetSystemDriver(std::make_shared<TSDLSystemDriver>());
    StopInputPolling();
    PumpMessages();
    StartInputPolling();
    EXPECT_EQ(PadCount(), 2);
    EXPECT_EQ(PadAxis(0, PAD_AXIS_RIGHT_Y), 1.0) << "the stick was held when the pad connected";
    EXPECT_EQ(PadConnections(*recording),
              (std::vector<TRecorded>{{EVENT_PADCONNECT, 0, 0, 0, 0},
                                      {EVENT_PADCONNECT, 0, 0, 1, 0},
                                      {EVENT_PADCONNECT, 0, 0, 0, 0},
                                      {EVENT_PADCONNECT, 0, 0, 1, 0}}))
        << recording->Describe();
}

}  // namespace
