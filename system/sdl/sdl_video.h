#pragma once

#include <string>
#include <string_view>

namespace qrv {

// Starts SDL's video subsystem unless it runs already. With no display to reach, SDL falls
// back to video drivers that show nothing ("offscreen", "dummy"); a program would then run
// in a window nobody can see. Those drivers are refused unless the SDL_VIDEODRIVER
// environment variable names them, and the subsystem is stopped again. On failure
// SDLFailureReason says why.
[[nodiscard]] bool StartSDLVideo();

// Whether SDL's video driver of that name draws nowhere visible.
[[nodiscard]] bool IsInvisibleVideoDriver(std::string_view name);

// Whether the comma-separated driver list of SDL_VIDEODRIVER (as given, possibly null) names
// the driver.
[[nodiscard]] bool VideoDriverListNames(const char* list, std::string_view name);

// SDL's description of its last failure.
[[nodiscard]] std::string SDLFailureReason();

}  // namespace qrv
