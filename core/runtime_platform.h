#pragma once

#include <string>

namespace qrv {

// The platform halves of the runtime.

// The program's file as a path with "/" between names; empty when it cannot be found.
std::u16string FindProgramPath();
// Makes the folder the working directory; false when it cannot.
bool EnterFolder(const std::u16string& folder);

}  // namespace qrv
