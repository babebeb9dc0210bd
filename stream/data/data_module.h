#pragma once

namespace qrv {

// Brings up object serialisation: the stream module first, then the "data::" factory and the
// data types of the core and stream objects. Modules with data types of their own call it
// before registering them. Runs once; later calls do nothing.
void InitDataModule();

}  // namespace qrv
