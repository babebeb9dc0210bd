#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "audio/audio_driver.h"

namespace qrv {

// Creates the WAV and Ogg Vorbis sound loaders and enters the audio drivers in the driver table
// ("sdl", then "memory"), after initialising the stream module. Runs once; later calls do
// nothing. Audio is not opened: a program calls OpenAudio when it wants sound.
void InitAudioModule();

// A driver as the driver table holds it: its name, how much it is preferred, and what makes it.
struct TAudioDriverEntry {
    // The name OpenAudio takes.
    std::string name;
    // OpenAudio without a name tries the drivers of preference above 0, the highest first (among
    // equals, the newest); a driver of preference 0 opens only by its name.
    int32_t preference = 0;
    // A new driver, not yet opened.
    Ref<TAudioDriver> (*make)() = nullptr;
};

// Enters the driver ahead of the earlier ones; false, with the table unchanged, when the name is
// taken already or no make function is given.
bool RegisterAudioDriver(TAudioDriverEntry entry);

// Opens sound output (closing output open before): with the named driver, or without a name
// with the first driver that opens by the table's rule ("sdl" where there is a device), and
// starts the mixer at the rate the driver really has. False when no driver opens, and
// LastFailure (core/failure.h) says why, e.g. "could not open audio: sdl: no available audio
// device". A machine without sound is not an error for the program: sounds still load, and
// playing them does nothing until audio opens.
bool OpenAudio(std::string_view driverName = {}, const TAudioFormat& wanted = {});
// Stops the output and every play, and lets go of the sounds; nothing while audio is closed.
// Also runs at exit.
void CloseAudio();
// True while audio is open.
[[nodiscard]] bool AudioIsOpen();
// The open driver, or none.
[[nodiscard]] Ref<TAudioDriver> CurrentAudioDriver();
// The format the open driver has; the default format while audio is closed.
[[nodiscard]] TAudioFormat CurrentAudioFormat();

}  // namespace qrv
