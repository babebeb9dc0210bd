#include <emscripten.h>

#include "framework/host_platform.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/glshader/glshader_module.h"
#include "system/hook.h"

namespace qrv {
namespace {

Ref<TObject> CountPresentedFrame(int32_t, Ref<TObject> data, Ref<TObject>) {
    EM_ASM(Module.framesPresented = (Module.framesPresented | 0) + 1;);
    return data;
}

}  // namespace

void InitPlatformRenderers() {
    InitGLShaderKaz2DModule();
}

void ConnectHostPage() {
    static bool connected = false;
    if (connected) return;
    connected = true;
    InitGraphicsModule();
    InstallHook(presentHookId, CountPresentedFrame, nullptr);
}

}  // namespace qrv
