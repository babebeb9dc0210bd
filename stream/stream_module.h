#pragma once

namespace qrv {

// Creates and registers the stream factories of this module: embedded files ("incbin::") and
// memory banks. Runs once; later calls do nothing.
void InitStreamModule();

}  // namespace qrv
