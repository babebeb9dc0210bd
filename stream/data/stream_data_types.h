#pragma once

namespace qrv {

// Registers the data types of the core and stream objects: text, boxed integers and reals,
// object lists and memory banks. Called by the data module's initialisation.
void RegisterStreamDataTypes();

}  // namespace qrv
