#pragma once

// How long an example runs: until Escape or the window's close button, or, when its first
// argument is a number, for that many frames. A second argument names a PNG file that receives
// the last frame; the tests and the screenshots of the guide use both.

#include <cstdlib>
#include <string>

#include "framework/framework.h"

class ExampleRun {
public:
    ExampleRun(int argc, char** argv) {
        if (argc > 1) frameLimit = std::atoi(argv[1]);
        if (argc > 2) screenshot = argv[2];
    }

    // Shows the frame drawn since the last call; false once the example should end.
    bool PresentAndContinue() {
        ++frame;
        const bool last = frameLimit > 0 && frame >= frameLimit;
        if (last && !screenshot.empty()) {
            const auto pixels =
                qrv::GrabPixmapRect(0, 0, qrv::CurrentWidth(), qrv::CurrentHeight());
            saved = qrv::SavePixmapPNG(pixels, qrv::FromLatin1(screenshot), 6);
        }
        qrv::PresentFrame();
        if (last) return false;
        return qrv::KeyHitCount(27) == 0 && qrv::AppTerminateRequested() == 0;
    }

    int frame = 0;

    // The exit code: 1 when a screenshot was asked for and could not be written.
    int ExitCode() const { return screenshot.empty() || saved ? 0 : 1; }

private:
    int frameLimit = 0;
    std::string screenshot;
    bool saved = false;
};
