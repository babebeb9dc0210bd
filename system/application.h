#pragma once

#include <string>

#include "core/runtime.h"  // ApplicationTitle, SetApplicationTitle

namespace qrv {

// Runs handler when the program ends (by EndProgram or by returning from main); handlers run
// newest first.
using TExitHandler = void (*)();
void AddExitHandler(TExitHandler handler);

// Ends the process with exit code 0 after the exit handlers have run.
[[noreturn]] void EndProgram();

// Local date as "07 Mar 2024" and local time as "14:05:09".
std::u16string DateText();
std::u16string TimeText();

}  // namespace qrv
