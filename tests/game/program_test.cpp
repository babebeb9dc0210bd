// The real program on the test display, driven from outside by xdotool as a player would:
// its window shows the board, a click marks a cell, Escape ends it with exit code 0. It plays
// on each renderer: as the machine chooses, chosen through ZORVAK_RENDERER, with only ES 2.0
// contexts to be had, and with no core or ES contexts at all (Mesa told to offer OpenGL 3.0 and
// ES 2.0, or 1.1, only).
#include <gtest/gtest.h>
// After GoogleTest, whose names the X headers' macros (None, Bool) would break.
#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "core/text.h"
#include "game/resources.h"
#include "kaz2d/glcore/renderer_choice.h"
#include "kaz2d/graphics_module.h"
#include "pixmap/pixmap_loader.h"
#include "pixmap/pixmap_module.h"
#include "pixmap/pixmap_save.h"

namespace {

using namespace std::chrono_literals;
using qrv::Ref;
using qrv::TPixmap;

constexpr const char* kTitle = "Tavika: ZORVAK v0.1.";
constexpr auto kPatience = 60s;  // a sanitizer build on a busy machine starts slowly

bool WaitFor(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (std::chrono::steady_clock::now() < deadline) {
        if (done()) return true;
        std::this_thread::sleep_for(100ms);
    }
    return false;
}

uint32_t Channel(uint32_t rgb, int shift) { return rgb >> shift & 0xFF; }

bool Close(uint32_t a, uint32_t b, int tolerance) {
    for (int shift : {0, 8, 16})
        if (std::abs(int(Channel(a, shift)) - int(Channel(b, shift))) > tolerance) return false;
    return true;
}

// Environment variables the program starts with, and the renderer they should give it.
struct TEnvironment {
    std::string name;
    std::vector<std::pair<std::string, std::string>> variables;
    std::string renderer;
};

void PrintTo(const TEnvironment& environment, std::ostream* out) {
    *out << environment.name;
}

void Apply(const TEnvironment& environment) {
    unsetenv(qrv::RENDERER_VARIABLE);
    for (const auto& [name, value] : environment.variables) setenv(name.c_str(), value.c_str(), 1);
}

// The renderer the program's start-up rule selects under the environment, found in a child
// process so that this one's OpenGL stays untouched.
std::string RendererSelectedUnder(const TEnvironment& environment) {
    int channel[2];
    if (pipe(channel) != 0) return "no pipe";
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        Apply(environment);
        qrv::InitGLCoreKaz2DModule();
        const std::string name = qrv::ToUtf8(qrv::CurrentGraphicsDriver()->ToString());
        if (write(channel[1], name.data(), name.size()) < 0) _exit(1);
        _exit(0);
    }
    close(channel[1]);
    std::string name;
    char buffer[64];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;) name.append(buffer, n);
    close(channel[0]);
    waitpid(child, nullptr, 0);
    return name;
}

class RealProgram : public ::testing::TestWithParam<TEnvironment> {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() / ("zorvak_program_" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
        // A copy of the program beside settings of its own: no introduction, three spies.
        std::filesystem::copy_file(ZORVAK_PROGRAM, folder / "zorvak",
                                   std::filesystem::copy_options::overwrite_existing);
        std::ofstream(folder / "zorvak.cfg") << "Intro\n0\nDifficulty\n0\n";
        // A window that goes away between two requests is no reason to end the test program.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        display.reset(XOpenDisplay(nullptr));
        ASSERT_TRUE(display) << "no X display";
        zorvak::RegisterGameFiles();
        qrv::InitPixmapModule();
        background = qrv::PixmapFromUrl(u"incbin::back.jpg");
        ASSERT_TRUE(background);
    }

    void TearDown() override {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (!HasFailure()) std::filesystem::remove_all(folder);
    }

    // Starts the copy; it is killed with this test program should the test die first.
    void Start() {
        const std::string path = (folder / "zorvak").string();
        pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            Apply(GetParam());
            execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }

    // The game window: the top-level window with the game's caption that belongs to the
    // started process (tests in other processes may show the same caption meanwhile).
    Window FindGameWindow() {
        const Atom pidAtom = XInternAtom(display.get(), "_NET_WM_PID", False);
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display.get(), DefaultRootWindow(display.get()), &root, &parent, &children, &count))
            return 0;
        Window found = 0;
        for (unsigned int i = 0; i < count && !found; ++i) {
            char* name = nullptr;
            const bool titled = XFetchName(display.get(), children[i], &name) && name &&
                                std::string(name) == kTitle;
            if (name) XFree(name);
            if (titled && WindowPid(children[i], pidAtom) == pid) found = children[i];
        }
        if (children) XFree(children);
        return found;
    }

    long WindowPid(Window window, Atom pidAtom) {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        long value = -1;
        if (XGetWindowProperty(display.get(), window, pidAtom, 0, 1, False, XA_CARDINAL, &type,
                               &format, &items, &after, &data) == Success &&
            data && items == 1 && format == 32)
            value = static_cast<long>(*reinterpret_cast<unsigned long*>(data));
        if (data) XFree(data);
        return value;
    }

    // The window's pixels as a pixmap; none while it cannot be read (not shown yet).
    Ref<TPixmap> Screenshot() {
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(display.get(), window, &attributes) ||
            attributes.map_state != IsViewable)
            return nullptr;
        XImage* image = XGetImage(display.get(), window, 0, 0, 512, 512, AllPlanes, ZPixmap);
        if (!image) return nullptr;
        Ref<TPixmap> shot = qrv::NewPixmap(512, 512, qrv::FormatRGBA8888, 4);
        for (int y = 0; y < 512; ++y)
            for (int x = 0; x < 512; ++x)
                shot->SetPixelARGB(x, y, 0xFF000000u | (XGetPixel(image, x, y) & 0xFFFFFF));
        XDestroyImage(image);
        return shot;
    }

    // Unmarked cells show the background in their corners.
    bool ShowsTheBoard(const TPixmap& shot, int c, int r, int red, int green, int blue) {
        const int x = 56 + 50 * c + 3, y = 56 + 50 * r + 3;
        const uint32_t bg = background->GetPixelARGB(x, y);
        const uint32_t expected = Channel(bg, 16) * red / 255 << 16 |
                                  Channel(bg, 8) * green / 255 << 8 | Channel(bg, 0) * blue / 255;
        return Close(shot.GetPixelARGB(x, y) & 0xFFFFFF, expected, 3);
    }

    void Xdotool(const std::string& arguments) {
        const std::string command = "xdotool " + arguments;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    std::optional<int> ExitCode() {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) != pid) return std::nullopt;
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    void SaveShot(const Ref<TPixmap>& shot, const char* name) {
        const std::string path = (folder / name).string();
        if (shot && qrv::SavePixmapPNG(shot, qrv::FromUtf8(path), 6))
            ADD_FAILURE() << "the window did not show what was expected; screenshot saved as " << path;
        else
            ADD_FAILURE() << "the window could not be read";
    }

    struct XCloser {
        void operator()(Display* d) const { XCloseDisplay(d); }
    };
    std::unique_ptr<Display, XCloser> display;
    std::filesystem::path folder;
    Ref<TPixmap> background;
    Window window = 0;
    pid_t pid = -1;
};

TEST_P(RealProgram, AClickMarksACellAndEscapeEndsTheGame) {
    EXPECT_EQ(RendererSelectedUnder(GetParam()), GetParam().renderer);
    Start();
    ASSERT_TRUE(WaitFor([&] { return (window = FindGameWindow()) != 0; })) << "no game window";
    const std::string windowId = std::to_string(window);
    Ref<TPixmap> shot;
    const bool board = WaitFor([&] {
        shot = Screenshot();
        return shot && ShowsTheBoard(*shot, 0, 0, 255, 255, 255) && ShowsTheBoard(*shot, 7, 7, 255, 255, 255);
    });
    if (!board) return SaveShot(shot, "no-board.png");

    Xdotool("mousemove --window " + windowId + " 81 81 click 1");
    const bool marked = WaitFor([&] {
        shot = Screenshot();
        return shot && ShowsTheBoard(*shot, 0, 0, 200, 200, 200);
    });
    if (!marked) return SaveShot(shot, "not-marked.png");
    EXPECT_TRUE(ShowsTheBoard(*shot, 7, 7, 255, 255, 255)) << "only the clicked cell is marked";

    Xdotool("windowfocus --sync " + windowId + " key Escape");
    std::optional<int> code;
    ASSERT_TRUE(WaitFor([&] { return (code = ExitCode()).has_value(); })) << "the game kept running";
    EXPECT_EQ(*code, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Renderers, RealProgram,
    ::testing::Values(
        TEnvironment{"AsTheMachineChooses", {}, "OpenGL 3.3 core"},
        TEnvironment{"ShaderRenderer", {{"ZORVAK_RENDERER", "glcore"}}, "OpenGL 3.3 core"},
        TEnvironment{"FixedFunction", {{"ZORVAK_RENDERER", "opengl"}}, "OpenGL"},
        TEnvironment{"OnlyES2",
                     {{"MESA_GL_VERSION_OVERRIDE", "3.0"}, {"MESA_GLES_VERSION_OVERRIDE", "2.0"}},
                     "OpenGL ES 2.0"},
        TEnvironment{"WithoutCoreOrES",
                     {{"MESA_GL_VERSION_OVERRIDE", "3.0"}, {"MESA_GLES_VERSION_OVERRIDE", "1.1"}},
                     "OpenGL"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
