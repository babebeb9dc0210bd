#include "tests/game/game_window.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>

#include "game/startup.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/kaz2d_driver.h"
#include "kaz2d/kaz2d_module.h"
#include "pixmap/pixmap_loader.h"
#include "core/text.h"
#include "system/application.h"
#include "system/clock.h"
#include "system/hook.h"

namespace zorvak_test {

using namespace qrv;

namespace {

int32_t Channel(uint32_t rgb, int shift) {
    return static_cast<int32_t>((rgb >> shift) & 0xFF);
}

// The session's virtual clock, with a limit on how long the game may sleep past the script.
class TWatchdogClock final : public TClock {
public:
    TWatchdogClock(Ref<TClock> inner, TScriptedSystemDriver& driver)
        : inner(std::move(inner)), driver(driver) {}
    uint32_t Milliseconds() override { return inner->Milliseconds(); }
    void Delay(int32_t ms) override {
        inner->Delay(ms);
        const uint32_t now = inner->Milliseconds();
        if (driver.PendingEventCount() == 0) {
            if (!idleSince) idleSince = now;
            if (static_cast<int32_t>(now - *idleSince) > WATCHDOG_MILLIS) throw TScriptRanOut();
        } else {
            idleSince.reset();
        }
    }

private:
    static constexpr int32_t WATCHDOG_MILLIS = 10 * 60 * 1000;
    Ref<TClock> inner;
    TScriptedSystemDriver& driver;
    std::optional<uint32_t> idleSince;
};

// A portrait of the loaded pictures and eyes, at level 0 with its picture and with eyes of its
// own that start blinking on the clock now.
Ref<zorvak::TGirl> FreshPortrait(const zorvak::TGirl& loaded) {
    const auto portrait = std::make_shared<zorvak::TGirl>();
    portrait->eye->frames = loaded.eye->frames;
    portrait->eye->x = loaded.eye->x;
    portrait->eye->y = loaded.eye->y;
    portrait->pictures = loaded.pictures;
    portrait->pictureCount = loaded.pictureCount;
    portrait->x = loaded.x;
    portrait->y = loaded.y;
    portrait->SetPicture(0);
    return portrait;
}

}  // namespace

bool ColoursClose(uint32_t a, uint32_t b, int32_t tolerance) {
    for (int shift : {0, 8, 16})
        if (std::abs(Channel(a, shift) - Channel(b, shift)) > tolerance) return false;
    return true;
}

std::string HexColour(uint32_t rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", rgb & 0xFFFFFFu);
    return text;
}

void GameWindow::SetUp() {
    zorvak::InitGameModules();
    SetApplicationTitle(u"Zorvak test");
    session = std::make_unique<TScriptedSession>(1000);
    virtualClock = std::dynamic_pointer_cast<TVirtualClock>(CurrentClock());
    SetClock(std::make_shared<TWatchdogClock>(virtualClock, session->Driver()));
    ASSERT_TRUE(OpenGraphicsWindow(kSize, kSize, 0, 50, 0)) << "no OpenGL window on the test display";
    SetBlendMode(BLEND_ALPHA);
    SetDrawColor(0, 200, 0);
    static zorvak::TGameResources loaded;
    static bool loadedAll = false;
    if (!loadedAll) {
        ASSERT_TRUE(zorvak::LoadGameResources(loaded).empty()) << "resources failed to load";
        loadedAll = true;
    }
    game = zorvak::TGame{};
    game.resources = loaded;
    game.resources.portrait = FreshPortrait(*loaded.portrait);
}

void GameWindow::TearDown() {
    CloseGraphicsWindow();
    session.reset();
    virtualClock.reset();
}

uint32_t GameWindow::PixelAt(int32_t x, int32_t y) {
    const Ref<TPixmap> pixel = GrabPixmapRect(x, y, 1, 1);
    return pixel ? pixel->GetPixelARGB(0, 0) & 0xFFFFFFu : 0xDEADBEEFu;
}

Ref<TPixmap> GameWindow::Screen() {
    return GrabPixmapRect(0, 0, kSize, kSize);
}

Ref<TPixmap> GameWindow::EmbeddedPixmap(const char* name) {
    return PixmapFromUrl(u"incbin::" + FromUtf8(name));
}

// The hook context carries the recorder's address; the token object only makes it unique.
class TRecorderToken final : public TObject {
public:
    explicit TRecorderToken(TFrameRecorder* recorder) : recorder(recorder) {}
    TFrameRecorder* recorder;
};

TFrameRecorder::TFrameRecorder(const zorvak::TBoard& board, bool keepScreens)
    : board(board), keepScreens(keepScreens), token(std::make_shared<TRecorderToken>(this)) {
    InstallHook(presentHookId, OnPresent, token);
}

TFrameRecorder::~TFrameRecorder() {
    UninstallHook(presentHookId, OnPresent, token);
}

Ref<TObject> TFrameRecorder::OnPresent(int32_t, Ref<TObject> data, Ref<TObject> context) {
    TFrameRecorder& self = *std::static_pointer_cast<TRecorderToken>(context)->recorder;
    self.frames.push_back({MillisecondClock(), self.board.revealSpies, self.board.submitArmed,
                           self.keepScreens ? GameWindow::Screen() : nullptr});
    if (self.onPresent) self.onPresent();
    return data;
}

}  // namespace zorvak_test
