#include "core/runtime.h"
#include "game/startup.h"

int main() {
    qrv::StartRuntime();
    return zorvak::StartUp();
}
