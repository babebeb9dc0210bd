#pragma once

#include <string>
#include <vector>

#include "core/object.h"
#include "game/portrait.h"
#include "kaz2d/image.h"
#include "kaz2d/image_font.h"

namespace zorvak {

// The game's fonts and pictures, loaded once at start-up and kept for the whole run.
struct TGameResources {
    qrv::Ref<qrv::TImageFont> largeFont;  // finder numbers, 30 px
    qrv::Ref<qrv::TImageFont> smallFont;  // dialogue text and captions, 18 px
    qrv::Ref<qrv::TImage> backgroundImage;
    qrv::Ref<qrv::TImage> buttonImage;
    qrv::Ref<qrv::TImage> helpImage;
    qrv::Ref<qrv::TImage> winImage;
    qrv::Ref<qrv::TImage> failImage;
    qrv::Ref<qrv::TImage> dialogueFrameImage;
    qrv::Ref<qrv::TImage> spyMarkImage;
    // The heroine's reward pictures and eyes; the story changes its level and picture.
    qrv::Ref<TGirl> portrait;
};

// Registers the game's embedded files ("incbin::back.jpg" ...) in their fixed order; the
// registry keeps the first registration of a name, so calling it again changes nothing.
void RegisterGameFiles();

// Loads every resource above into `resources` behind the loading screen: green messages in the
// built-in font, each one presented before the loads it announces. Needs the graphics window
// open. Gives the locations that could not be loaded; empty when everything loaded.
[[nodiscard]] std::vector<std::u16string> LoadGameResources(TGameResources& resources);

}  // namespace zorvak
