#include "system/application.h"

#include <cstdlib>
#include <ctime>
#include <vector>

#include "core/text.h"

namespace qrv {
namespace {

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

std::u16string FormatLocalNow(const char* format) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    if (!localtime_r(&now, &local)) return {};
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

void EndProgram() {
    std::exit(0);
}

std::u16string DateText() {
    return FormatLocalNow("%d %b %Y");
}

std::u16string TimeText() {
    return FormatLocalNow("%H:%M:%S");
}

}  // namespace qrv
