// Sound and gamepads: a dart flies where the first gamepad's left stick or d-pad (or the arrow
// keys) steer it; button A (or Space) fires a blip, panned to where the dart is and pitched by
// its height; music loops from an Ogg Vorbis file, faded in, and button Y (or M) fades it out
// and in again. Pads may come and go while it runs. Without a sound device it runs on silent
// and says why. Escape or the window's close button ends it.

#include <algorithm>
#include <cstdio>
#include <string>

#include "example_run.h"
#include "framework/framework.h"

namespace {

constexpr int WIDTH = 480;
constexpr int HEIGHT = 320;
constexpr float SPEED = 4.0f;
constexpr float MUSIC_FADE_SECONDS = 1.5f;

struct TShip {
    float x = WIDTH / 2.0f;
    float y = HEIGHT / 2.0f;
    // The blip fired last, for the glow drawn around the dart while it sounds.
    qrv::TChannelId blip = qrv::NO_CHANNEL;
};

// -1..1 from the first pad's stick and d-pad and from the arrow keys, whichever is pushed.
float Steering(int32_t stickAxis, int32_t lessButton, int32_t moreButton, int32_t lessKey, int32_t moreKey) {
    float push = static_cast<float>(qrv::PadAxis(0, stickAxis));
    if (qrv::PadButtonIsDown(0, lessButton) || qrv::KeyIsDown(lessKey)) push -= 1.0f;
    if (qrv::PadButtonIsDown(0, moreButton) || qrv::KeyIsDown(moreKey)) push += 1.0f;
    return std::clamp(push, -1.0f, 1.0f);
}

void Steer(TShip& ship) {
    ship.x += SPEED * Steering(qrv::PAD_AXIS_LEFT_X, qrv::PAD_BUTTON_DPAD_LEFT, qrv::PAD_BUTTON_DPAD_RIGHT,
                               qrv::KEY_LEFT, qrv::KEY_RIGHT);
    ship.y += SPEED * Steering(qrv::PAD_AXIS_LEFT_Y, qrv::PAD_BUTTON_DPAD_UP, qrv::PAD_BUTTON_DPAD_DOWN,
                               qrv::KEY_UP, qrv::KEY_DOWN);
    ship.x = std::clamp(ship.x, 0.0f, static_cast<float>(WIDTH));
    ship.y = std::clamp(ship.y, 40.0f, static_cast<float>(HEIGHT));
}

// The blip sounds from where the dart is (left to right) and higher the higher it flies.
void Fire(TShip& ship, const qrv::Ref<qrv::TSound>& blip) {
    const float pan = ship.x / WIDTH * 2.0f - 1.0f;
    const float rate = 1.5f - ship.y / HEIGHT;
    ship.blip = qrv::PlaySound(blip, 1, 0.8f, pan, rate);
}

void ToggleMusic() {
    if (qrv::MusicIsPlaying()) {
        qrv::StopMusic(MUSIC_FADE_SECONDS);
    } else {
        qrv::PlayMusic(u"tune.ogg", qrv::PLAY_LOOPING, MUSIC_FADE_SECONDS, 0.6f);
    }
}

// Hits counted since the last frame, from the first pad's button or the key.
bool Pressed(int32_t button, int32_t key) {
    const int32_t pad = qrv::PadButtonHitCount(0, button);
    const int32_t keyboard = qrv::KeyHitCount(key);
    return pad + keyboard > 0;
}

void DrawStatus(const std::u16string& whySilent) {
    qrv::SetDrawTransform(0.0f, 1.0f, 1.0f);
    // A green square while sound plays, red while the program runs silent.
    if (qrv::AudioIsOpen()) {
        qrv::SetDrawColor(60, 220, 90);
    } else {
        qrv::SetDrawColor(230, 60, 50);
    }
    qrv::FillRect(4, 4, 12, 12);
    qrv::SetDrawColor(255, 255, 255);
    qrv::DrawTextAt(qrv::AudioIsOpen() ? u"sound: on" : u"sound: off", 22, 2);
    std::u16string pads = u"pads: " + qrv::IntegerText(qrv::PadCount());
    if (qrv::PadCount() > 0) pads += u" (" + qrv::PadName(0) + u")";
    qrv::DrawTextAt(pads, 22, 20);
    qrv::SetDrawColor(160, 160, 170);
    qrv::DrawTextAt(whySilent, 4, HEIGHT - 20);
}

void DrawShip(const TShip& ship, const qrv::Ref<qrv::TImage>& dart) {
    if (qrv::ChannelIsPlaying(ship.blip)) {
        qrv::SetDrawTransform(0.0f, 1.0f, 1.0f);
        qrv::SetDrawColor(255, 210, 90);
        qrv::SetDrawAlpha(0.5f);
        qrv::FillRect(ship.x - 24, ship.y - 24, 48, 48);
        qrv::SetDrawAlpha(1.0f);
    }
    qrv::SetDrawColor(120, 200, 255);
    qrv::SetDrawTransform(-90.0f, 1.5f, 1.5f);
    qrv::DrawImageAt(dart, ship.x, ship.y, 0);
}

}  // namespace

int main(int argc, char** argv) {
    qrv::InitFramework();
    ExampleRun run(argc, argv);
    if (!qrv::OpenGraphicsWindow(WIDTH, HEIGHT, 0, 60, 0)) {
        std::fprintf(stderr, "sound: no window\n");
        return 1;
    }
    // No sound device is not an error: the sounds still load, and playing them does nothing.
    std::u16string whySilent;
    if (!qrv::OpenAudio()) whySilent = qrv::LastFailure();
    const qrv::Ref<qrv::TSound> blip = qrv::LoadSound(u"blip.wav");
    qrv::SetAutoCentreHandle(true);
    const qrv::Ref<qrv::TImage> dart = qrv::LoadImageFromUrl(u"dart.png", qrv::IMG_FILTERED);
    if (!blip || !dart) {
        std::fprintf(stderr, "sound: %s\n", qrv::LastFailureUtf8().c_str());
        return 1;
    }
    qrv::SetBlendMode(qrv::BLEND_ALPHA);
    qrv::SetClearColor(24, 20, 36);
    TShip ship;
    ToggleMusic();
    Fire(ship, blip);

    do {
        qrv::ClearScreen();
        Steer(ship);
        if (Pressed(qrv::PAD_BUTTON_A, qrv::KEY_SPACE)) Fire(ship, blip);
        if (Pressed(qrv::PAD_BUTTON_Y, qrv::KEY_M)) ToggleMusic();
        DrawShip(ship, dart);
        DrawStatus(whySilent);
    } while (run.PresentAndContinue());
    return run.ExitCode();
}
