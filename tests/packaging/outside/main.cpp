// Draws an orange square on blue in a small window and prints the colour read back from the
// middle of the square and from a corner, then the name of the renderer that drew it.
#include <cstdio>

#include "core/text.h"
#include "framework/framework.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/kaz2d_module.h"

int main() {
    qrv::InitFramework();
    if (!qrv::OpenGraphicsWindow(64, 64, 0, 0, 0)) return 1;
    qrv::SetClearColor(0, 0, 128);
    qrv::ClearScreen();
    qrv::SetDrawColor(255, 160, 0);
    qrv::FillRect(16, 16, 32, 32);
    const qrv::Ref<qrv::TPixmap> pixels = qrv::GrabPixmapRect(0, 0, 64, 64);
    qrv::PresentFrame();
    if (!pixels) return 1;
    for (const int at : {32, 2}) {
        const unsigned char* p = pixels->PixelAddress(at, at);
        std::printf("pixel %d %d %d\n", p[0], p[1], p[2]);
    }
    std::printf("renderer %s\n", qrv::ToUtf8(qrv::CurrentGraphicsDriver()->ToString()).c_str());
    return 0;
}
