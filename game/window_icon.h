#pragma once

#include "pixmap/pixmap.h"

namespace zorvak {

// The window icon: the square around the instructor's face in the first reward picture,
// "incbin::s0.png", resampled to size x size pixels, RGBA. The desktop icons of the install are
// drawn from the same square by the asset tools. None when the picture cannot be loaded.
[[nodiscard]] qrv::Ref<qrv::TPixmap> MakeWindowIcon(int size);

// Gives the window of the current OpenGL context the icon; nothing when there is no window or
// no icon. The game files and the pixmap loaders must be ready.
void ShowWindowIcon();

}  // namespace zorvak
