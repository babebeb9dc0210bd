#include "framework/host_platform.h"

#include "kaz2d/glfixed/glfixed_kaz2d_driver.h"
#include "kaz2d/glshader/glshader_module.h"

namespace qrv {

void InitPlatformRenderers() {
    InitGLKaz2DModule();
    InitGLShaderKaz2DModule();
}

void ConnectHostPage() {}

}  // namespace qrv
