// A small program that knows the framework only as an installed package and includes only its
// umbrella header. It draws an orange square on blue in a small window and prints the colour read
// back from the middle of the square and from a corner, the name of the renderer that drew it,
// what the named keys and the frame delta report, why a picture that is not there failed, and
// where it keeps a score it saved and read back in its per-user data folder.
#include <cstdio>

#include "framework/framework.h"

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

    // Nobody presses a key on the test display.
    std::printf("keys %d %d\n", qrv::KeyIsDown(qrv::KEY_LEFT), qrv::KeyHitCount(qrv::KEY_F12));
    qrv::DelayMillis(30);
    qrv::PresentFrame();
    const double delta = qrv::FrameDeltaSeconds();
    std::printf("delta %s\n", delta >= 0.029 && delta < 1.0 ? "ok" : "wrong");

    if (!qrv::LoadImageFromUrl(u"no-such-picture.png", -1)) {
        std::printf("failure %s\n", qrv::LastFailureUtf8().c_str());
    }

    qrv::SetApplicationName(u"Outside Test");
    const std::u16string folder = qrv::UserDataFolder();
    if (folder.empty()) return 1;
    const std::u16string scoreFile = folder + u"/best.txt";
    const qrv::Ref<qrv::TStream> out = qrv::OpenWriteStream(qrv::MakeText(scoreFile));
    if (!out || !out->WriteTextLine(qrv::IntegerText(120, 6))) return 1;
    out->Close();
    const qrv::Ref<qrv::TStream> in = qrv::OpenReadStream(qrv::MakeText(scoreFile));
    if (!in) return 1;
    std::printf("saved %s %s\n", qrv::ToUtf8(folder).c_str(), qrv::ToUtf8(in->ReadTextLine()).c_str());
    in->Close();
    return 0;
}
