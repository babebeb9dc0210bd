#pragma once

namespace qrv {

// Registers the built-in font's data ("krastfont.bin") and makes the built-in font the one
// every new 2D context starts with; initialises the font loaders first. Runs once.
void InitImageFontModule();

}  // namespace qrv
