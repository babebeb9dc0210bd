#include "system/application.h"

#include <cstdlib>
#include <ctime>
#include <vector>

#include "core/text.h"

namespace qrv {
namespace {

bool programEndCaught = false;

std::vector<TExitHandler>& ExitHandlers() {
    static std::vector<TExitHandler> handlers;
    return handlers;
}

void RunExitHandlers() {
    std::vector<TExitHandler>& handlers = ExitHandlers();
    // A handler may add another; take them off one at a time.
    while (!handlers.empty()) {
        TExitHandler handler = handlers.back();
        handlers.pop_back();
        handler();
    }
}

// The thread-safe local time: the C runtime of each platform names it differently.
bool ToLocalTime(std::time_t time, std::tm& local) {
#ifdef _WIN32
    return localtime_s(&local, &time) == 0;
#else
    return localtime_r(&time, &local) != nullptr;
#endif
}

std::u16string FormatLocalNow(const char* format) {
    std::tm local{};
    if (!ToLocalTime(std::time(nullptr), local)) return {};
    char buffer[256];
    size_t length = std::strftime(buffer, sizeof buffer, format, &local);
    return FromUtf8(std::string_view(buffer, length));
}

}  // namespace

void AddExitHandler(TExitHandler handler) {
    static const bool registered = [] {
        // The list exists before std::atexit is called, so it is destroyed after the handlers ran.
        ExitHandlers();
        return std::atexit(RunExitHandlers) == 0;
    }();
    (void)registered;
    ExitHandlers().push_back(handler);
}

bool CatchProgramEnd(bool catchEnd) {
    const bool previous = programEndCaught;
    programEndCaught = catchEnd;
    return previous;
}

void EndProgram() {
    if (programEndCaught) throw TProgramEnded();
    std::exit(0);
}

std::u16string DateText() {
    return FormatLocalNow("%d %b %Y");
}

std::u16string TimeText() {
    return FormatLocalNow("%H:%M:%S");
}

}  // namespace qrv
