#pragma once

namespace qrv {

// Initialises the stream module, then creates the PNG loader and the JPEG loader, in that
// order, so that the JPEG loader is asked first. Runs once; later calls do nothing.
void InitPixmapModule();

}  // namespace qrv
