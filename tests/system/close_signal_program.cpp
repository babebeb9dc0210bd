// A framework program for the close-signal test: it waits for messages and says on its output
// what it sees of a close request (the event through the hooks, then the polled request), and
// runs on.
#include <cstdio>

#include "system/event.h"
#include "system/hook.h"
#include "system/input.h"
#include "system/system_driver.h"

namespace {

void Say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

qrv::Ref<qrv::TObject> SayAppTerminate(int32_t, qrv::Ref<qrv::TObject> data, qrv::Ref<qrv::TObject>) {
    const auto* event = dynamic_cast<const qrv::TEvent*>(data.get());
    if (event && event->id == qrv::EVENT_APPTERMINATE) Say("AppTerminate event");
    return data;
}

}  // namespace

int main() {
    qrv::StartInputPolling();
    qrv::InstallHook(qrv::EventHookId(), SayAppTerminate, nullptr);
    Say("ready");
    for (;;) {
        qrv::WaitForMessages();
        if (qrv::AppTerminateRequested()) Say("close requested");
    }
}
