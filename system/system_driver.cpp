#include "system/system_driver.h"

#include "system/browser_url.h"
#include "system/close_signals.h"
#include "system/event.h"

namespace qrv {
namespace {

Ref<TSystemDriver> currentDriver;
bool pumping = false;

// Sets the re-entry guard for one pump and clears it however the pump ends.
class TPumpGuard {
public:
    TPumpGuard() { pumping = true; }
    ~TPumpGuard() { pumping = false; }
    TPumpGuard(const TPumpGuard&) = delete;
    TPumpGuard& operator=(const TPumpGuard&) = delete;
};

// A signal caught since the last pump is a close request, like a closed window's.
void EmitCaughtSignal() {
    if (TakeCloseSignal()) EmitSystemEvent(EVENT_APPTERMINATE, nullptr, 0, 0, 0, 0);
}

}  // namespace

void InitSystemModule() {
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitEventModule();
    if (!currentDriver) currentDriver = MakePlatformSystemDriver();
    CatchCloseSignals();
}

Ref<TSystemDriver> SetSystemDriver(Ref<TSystemDriver> driver) {
    InitSystemModule();
    Ref<TSystemDriver> previous = std::move(currentDriver);
    currentDriver = std::move(driver);
    return previous;
}

Ref<TSystemDriver> CurrentSystemDriver() {
    InitSystemModule();
    return currentDriver;
}

void PumpMessages() {
    if (pumping) return;
    Ref<TSystemDriver> driver = CurrentSystemDriver();
    if (!driver) return;
    TPumpGuard guard;
    driver->Poll();
    EmitCaughtSignal();
}

void WaitForMessages() {
    if (pumping) return;
    Ref<TSystemDriver> driver = CurrentSystemDriver();
    if (!driver) return;
    TPumpGuard guard;
    driver->Wait();
    EmitCaughtSignal();
}

void WaitForMessagesUntil(uint32_t deadline) {
    if (pumping) return;
    Ref<TSystemDriver> driver = CurrentSystemDriver();
    if (!driver) return;
    TPumpGuard guard;
    driver->WaitUntil(deadline);
    EmitCaughtSignal();
}

void SetPointerPosition(int32_t x, int32_t y) {
    if (auto driver = CurrentSystemDriver()) driver->SetPointerPosition(x, y);
}

void ShowPointer() {
    if (auto driver = CurrentSystemDriver()) driver->SetMouseVisible(true);
}

void HidePointer() {
    if (auto driver = CurrentSystemDriver()) driver->SetMouseVisible(false);
}

void NotifyBox(const std::u16string& text, bool serious) {
    if (auto driver = CurrentSystemDriver()) driver->NotifyBox(text, serious);
}

int32_t ConfirmBox(const std::u16string& text, bool serious) {
    auto driver = CurrentSystemDriver();
    return driver ? driver->ConfirmBox(text, serious) : 0;
}

int32_t ProceedBox(const std::u16string& text, bool serious) {
    auto driver = CurrentSystemDriver();
    return driver ? driver->ProceedBox(text, serious) : -1;
}

std::u16string AskForFile(const std::u16string& title, const std::u16string& extensions,
                          bool save, const std::u16string& initialPath) {
    auto driver = CurrentSystemDriver();
    return driver ? driver->AskForFile(title, extensions, save, initialPath) : std::u16string();
}

std::u16string AskForFolder(const std::u16string& title, const std::u16string& initialPath) {
    auto driver = CurrentSystemDriver();
    return driver ? driver->AskForFolder(title, initialPath) : std::u16string();
}

void OpenInBrowser(const std::u16string& url) {
    if (auto driver = CurrentSystemDriver()) driver->OpenInBrowser(CompleteBrowserUrl(url));
}

void EmitSystemEvent(int32_t id, Ref<TObject> source, int32_t data, int32_t mods, int32_t x,
                     int32_t y, Ref<TObject> extra) {
    MakeEvent(id, std::move(source), data, mods, x, y, std::move(extra))->Emit();
}

}  // namespace qrv
