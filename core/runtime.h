#pragma once

#include <string>

namespace qrv {

// Process start, before any module initialises: records the program's file path and folder
// (from /proc/self/exe, the module's file name on Windows, or on the web the name Emscripten
// gives the program: the script's path under node, in a browser Module.thisProgram or
// "./this.program", a relative name taken in the working folder, which is the in-memory file
// system's root "/" where the page's files are placed), makes that folder the working
// directory, so files beside the program are found whatever directory it was started from, and
// sets the application title to its default, the program's file name without extension. Only
// the first call does anything. When the program's path cannot be found the path and folder stay
// empty and the working directory is left as it is.
void StartRuntime();

// Paths are written with "/" like every path of the stream layer: on POSIX systems 8-bit names,
// one code unit per byte; on Windows the system's UTF-16 names, drive first.
// ProgramPath is empty before StartRuntime; ProgramFolder has no trailing "/" (a root keeps it).
const std::u16string& ProgramPath();    // e.g. "/opt/zorvak/zorvak" or "C:/Games/zorvak.exe"
const std::u16string& ProgramFolder();  // e.g. "/opt/zorvak" or "C:/Games"

// The process-wide title that windows and message boxes show.
const std::u16string& ApplicationTitle();
// Replaces the title; windows opened afterwards and message boxes show the new one.
void SetApplicationTitle(std::u16string title);

// The application's name, which names its data folder: the one set, else the program's file
// name without extension; empty when neither is known.
[[nodiscard]] std::u16string ApplicationName();
// Names the application (an empty name returns to the default); set it before the first
// UserDataFolder call, since each call gives the folder of the name set then.
void SetApplicationName(std::u16string name);

// The user's folder for the application's data (saved games, high scores), created with its
// parents when missing, without a trailing "/": $XDG_DATA_HOME/<name> when that variable is
// set to an absolute path, else $HOME/.local/share/<name> on Linux and other POSIX systems; on
// Windows <name> in the roaming application-data folder ("C:/Users/kim/AppData/Roaming/Zorvak");
// on the web the POSIX rule in the page's in-memory file system
// ("/home/web_user/.local/share/Zorvak"), which does not outlive the page. <name>
// is ApplicationName() with what a file name may not hold (control characters and
// < > : " / \ | ? *) replaced by "_", trailing dots and spaces dropped, and "_" added to a
// Windows device name ("con.save" is "con_.save"); on POSIX systems it is written in UTF-8. Empty when
// there is no such folder, no name, or it cannot be created, with the reason in LastFailure().
[[nodiscard]] std::u16string UserDataFolder();

}  // namespace qrv
