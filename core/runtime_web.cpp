#include <emscripten.h>
#include <unistd.h>

#include <string>

#include "core/runtime_platform.h"
#include "core/text.h"

// The program's name as Emscripten passes it for argv[0]: under node the script's absolute path,
// in a browser what the page sets as Module.thisProgram, else "./this.program".
EM_JS(int, QrvProgramNameBytes, (), { return lengthBytesUTF8(thisProgram); });
EM_JS(void, QrvCopyProgramName, (char* buffer, int size), { stringToUTF8(thisProgram, buffer, size); });

namespace qrv {
namespace {

std::string ProgramName() {
    std::string name(static_cast<size_t>(QrvProgramNameBytes()) + 1, '\0');
    QrvCopyProgramName(name.data(), static_cast<int>(name.size()));
    name.pop_back();
    return name;
}

std::string WorkingFolder() {
    std::string folder(4096, '\0');
    if (!::getcwd(folder.data(), folder.size())) return "/";
    folder.resize(folder.find('\0'));
    return folder;
}

}  // namespace

// A relative name lies in the working folder: in a browser the root "/" of the in-memory file
// system, where the page's files are placed, so a page's program folder is "/".
std::u16string FindProgramPath() {
    std::string name = ProgramName();
    if (name.empty()) return {};
    if (name.front() != '/') {
        if (name.starts_with("./")) name.erase(0, 2);
        const std::string folder = WorkingFolder();
        name = folder + (folder.ends_with('/') ? "" : "/") + name;
    }
    return FromLatin1(name);
}

bool EnterFolder(const std::u16string& folder) {
    return ::chdir(ToLatin1(folder).c_str()) == 0;
}

}  // namespace qrv
