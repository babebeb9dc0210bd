#include "audio/audio_module.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "audio/memory_audio_driver.h"
#include "audio/mixer.h"
#include "audio/sdl/sdl_audio_driver.h"
#include "audio/vorbis_loader.h"
#include "audio/wav_loader.h"
#include "core/failure.h"
#include "stream/stream_module.h"

namespace qrv {

namespace {

struct AudioState {
    // Newest first.
    std::vector<TAudioDriverEntry> table;
    Ref<TAudioDriver> driver;
    TAudioFormat format;
};

AudioState& State() {
    static AudioState state;
    return state;
}

const TAudioDriverEntry* EntryNamed(std::string_view name) {
    for (const TAudioDriverEntry& entry : State().table) {
        if (entry.name == name) return &entry;
    }
    return nullptr;
}

// The format a driver is asked for: the rate and buffer within what any device may take.
TAudioFormat Sensible(const TAudioFormat& wanted) {
    TAudioFormat format;
    format.rate = std::clamp(wanted.rate, 8000, 192000);
    format.bufferFrames = std::clamp(wanted.bufferFrames, 64, 16384);
    return format;
}

// Opens the entry's driver and starts the mixer on it; false, with the driver's reason in
// LastFailure, when it does not open.
bool OpenWith(const TAudioDriverEntry& entry, const TAudioFormat& wanted) {
    Ref<TAudioDriver> driver = entry.make();
    TAudioFormat got = wanted;
    ClearLastFailure();
    if (!driver || !driver->Open(wanted, got)) {
        if (LastFailure().empty()) SetLastFailure(std::string_view("the driver gave no output"));
        return false;
    }
    got.rate = std::clamp(got.rate, 8000, 384000);
    TheMixer().Begin(got.rate);
    driver->Start(TheMixer());
    State().driver = std::move(driver);
    State().format = got;
    return true;
}

}  // namespace

void InitAudioModule() {
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitStreamModule();
    // The loaders live for the rest of the process, as the loader list expects.
    new TSoundLoaderWAV;
    new TSoundLoaderVorbis;
    RegisterAudioDriver({"memory", 0, [] { return Ref<TAudioDriver>(std::make_shared<TMemoryAudioDriver>()); }});
    RegisterAudioDriver({"sdl", 1, MakeSdlAudioDriver});
    // The mixer is made before the exit handler is added, so it is still there when the handler
    // stops the driver's thread.
    TheMixer();
    std::atexit(CloseAudio);
}

bool RegisterAudioDriver(TAudioDriverEntry entry) {
    if (!entry.make || EntryNamed(entry.name)) return false;
    auto& table = State().table;
    table.insert(table.begin(), std::move(entry));
    return true;
}

bool OpenAudio(std::string_view driverName, const TAudioFormat& wanted) {
    CloseAudio();
    const std::u16string earlier = LastFailure();
    const TAudioFormat format = Sensible(wanted);
    std::string reasons;
    const auto tried = [&](const TAudioDriverEntry& entry) {
        if (OpenWith(entry, format)) return true;
        reasons += (reasons.empty() ? "" : "; ") + entry.name + ": " + LastFailureUtf8();
        return false;
    };
    if (!driverName.empty()) {
        const TAudioDriverEntry* entry = EntryNamed(driverName);
        if (entry && tried(*entry)) {
            SetLastFailure(earlier);
            return true;
        }
        if (!entry) reasons = "no audio driver is named \"" + std::string(driverName) + "\"";
    } else {
        std::vector<const TAudioDriverEntry*> order;
        for (const TAudioDriverEntry& entry : State().table) {
            if (entry.preference > 0) order.push_back(&entry);
        }
        std::stable_sort(order.begin(), order.end(),
                         [](const auto* a, const auto* b) { return a->preference > b->preference; });
        for (const TAudioDriverEntry* entry : order) {
            if (tried(*entry)) {
                SetLastFailure(earlier);
                return true;
            }
        }
        if (order.empty()) reasons = "the audio module is not initialised (call InitAudioModule() first)";
    }
    SetLastFailure("could not open audio: " + reasons);
    return false;
}

void CloseAudio() {
    AudioState& s = State();
    if (!s.driver) return;
    s.driver->Close();
    s.driver = nullptr;
    s.format = {};
    TheMixer().End();
}

bool AudioIsOpen() { return State().driver != nullptr; }

Ref<TAudioDriver> CurrentAudioDriver() { return State().driver; }

TAudioFormat CurrentAudioFormat() { return State().format; }

}  // namespace qrv
