#include "system/sdl/sdl_video.h"

#include <SDL.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace qrv {
namespace {

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

}  // namespace

bool IsInvisibleVideoDriver(std::string_view name) {
    return SameName(name, "offscreen") || SameName(name, "dummy");
}

bool VideoDriverListNames(const char* list, std::string_view name) {
    if (!list) return false;
    std::string_view rest = list;
    while (!rest.empty()) {
        const size_t comma = rest.find(',');
        if (SameName(Trimmed(rest.substr(0, comma)), name)) return true;
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    return false;
}

bool StartSDLVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) return true;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    const char* chosen = SDL_GetCurrentVideoDriver();
    const std::string driver = chosen ? chosen : "";
    if (!IsInvisibleVideoDriver(driver) || VideoDriverListNames(std::getenv("SDL_VIDEODRIVER"), driver))
        return true;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    SDL_SetError("no display could be reached (SDL fell back to its \"%s\" video driver, which "
                 "shows nothing; set SDL_VIDEODRIVER=%s to use it anyway)",
                 driver.c_str(), driver.c_str());
    return false;
}

std::string SDLFailureReason() {
    return SDL_GetError();
}

}  // namespace qrv
