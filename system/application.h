#pragma once

#include <exception>
#include <string>

#include "core/runtime.h"  // ApplicationTitle, SetApplicationTitle

namespace qrv {

// AddExitHandler runs handler when the program ends (by EndProgram or by returning from main);
// handlers run newest first.
using TExitHandler = void (*)();
void AddExitHandler(TExitHandler handler);

// Ends the process with exit code 0 after the exit handlers have run; while ends are caught
// (see CatchProgramEnd) it raises TProgramEnded instead and the handlers do not run.
[[noreturn]] void EndProgram();

// What EndProgram raises while ends are caught, so that a program driven by a script in a test
// can end without ending the test.
class TProgramEnded : public std::exception {
public:
    const char* what() const noexcept override { return "Program ended"; }
};

// Makes EndProgram raise TProgramEnded (true) or end the process (false); gives the previous
// setting back.
bool CatchProgramEnd(bool catchEnd);

// DateText and TimeText: the local date as "07 Mar 2024" and the local time as "14:05:09";
// empty text when the local time cannot be found.
std::u16string DateText();
std::u16string TimeText();

}  // namespace qrv
