// The real program on the test display: a copy started in a folder of its own, its window found,
// read through Xlib and driven through xdotool as a player and a window manager would.
#pragma once

#include <gtest/gtest.h>
// After GoogleTest, whose names the X headers' macros (None, Bool) would break.
#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
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
#include <utility>
#include <vector>

#include "core/text.h"
#include "framework/framework.h"
#include "game/resources.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/renderer_table.h"
#include "pixmap/pixmap_loader.h"
#include "pixmap/pixmap_module.h"
#include "pixmap/pixmap_save.h"

namespace program_test {

using namespace std::chrono_literals;
using qrv::Ref;
using qrv::TPixmap;

constexpr const char* kTitle = "Tavika: ZORVAK v0.1.";
constexpr auto kPatience = 60s;  // a sanitizer build on a busy machine starts slowly

inline bool WaitFor(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (std::chrono::steady_clock::now() < deadline) {
        if (done()) return true;
        std::this_thread::sleep_for(100ms);
    }
    return false;
}

inline uint32_t Channel(uint32_t rgb, int shift) { return rgb >> shift & 0xFF; }

inline bool Close(uint32_t a, uint32_t b, int tolerance) {
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

inline void PrintTo(const TEnvironment& environment, std::ostream* out) {
    *out << environment.name;
}

inline void Apply(const TEnvironment& environment) {
    unsetenv(qrv::RENDERER_VARIABLE);
    for (const auto& [name, value] : environment.variables) setenv(name.c_str(), value.c_str(), 1);
}

// The renderer the program's start-up rule selects under the environment, found in a child
// process so that this one's OpenGL stays untouched.
inline std::string RendererSelectedUnder(const TEnvironment& environment) {
    int channel[2];
    if (pipe(channel) != 0) return "no pipe";
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        Apply(environment);
        qrv::InitRendererModules();
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

// The renderer environments the tests below run under.
const TEnvironment kAsTheMachineChooses{"AsTheMachineChooses", {}, "OpenGL 3.3 core"};
const TEnvironment kShaderRenderer{"ShaderRenderer", {{"ZORVAK_RENDERER", "glcore"}}, "OpenGL 3.3 core"};
const TEnvironment kFixedFunction{"FixedFunction", {{"ZORVAK_RENDERER", "opengl"}}, "OpenGL"};

inline std::string NameOf(const ::testing::TestParamInfo<TEnvironment>& info) {
    return info.param.name;
}

// A copy of the program in a folder of its own, started under an environment, and its window
// read and driven through Xlib and xdotool.
class ProgramOnTheTestDisplay : public ::testing::Test {
protected:
    explicit ProgramOnTheTestDisplay(TEnvironment environment = kAsTheMachineChooses)
        : environment(std::move(environment)) {}

    void SetUp() override {
        folder = std::filesystem::temp_directory_path() / ("zorvak_program_" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
        // A copy of the program beside settings of its own.
        std::filesystem::copy_file(program, folder / program.filename(),
                                   std::filesystem::copy_options::overwrite_existing);
        WriteSettings(false);
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

    // Starts the copy; it is killed with this test program should the test die first. With
    // a pipe, the copy's error output goes there; before it starts, the child runs prepare.
    void Start(int errorPipe = -1, void (*prepare)() = nullptr) {
        const std::string path = (folder / program.filename()).string();
        std::vector<std::string> command = launcher;
        command.push_back(path);
        pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            Apply(environment);
            if (errorPipe >= 0) dup2(errorPipe, STDERR_FILENO);
            if (prepare) prepare();
            std::vector<char*> arguments;
            for (std::string& argument : command) arguments.push_back(argument.data());
            arguments.push_back(nullptr);
            execvp(arguments[0], arguments.data());
            _exit(127);
        }
    }

    // Settings of the copy's own: with or without the introduction, three spies.
    void WriteSettings(bool introduction) {
        std::ofstream(folder / "zorvak.cfg") << "Intro\n" << (introduction ? 1 : 0) << "\nDifficulty\n0\n";
    }

    // The game window once it is shown, and its first board once it is drawn.
    void StartAndWaitForTheWindow() {
        Start();
        ASSERT_TRUE(WaitFor([&] { return (window = FindGameWindow()) != 0; })) << "no game window";
        ASSERT_TRUE(WaitFor([&] { return Screenshot() != nullptr; })) << "the window is not shown";
    }

    bool BoardShown(Ref<TPixmap>& shot) {
        return WaitFor([&] {
            shot = Screenshot();
            return shot && ShowsTheBoard(*shot, 0, 0, 255, 255, 255) &&
                   ShowsTheBoard(*shot, 7, 7, 255, 255, 255);
        });
    }

    // The loading screen's last message ("Use enter to move forward...", the sixth green row
    // of text) is shown: the introduction's first line is waiting.
    bool LoadingScreenDone(Ref<TPixmap>& shot) {
        return WaitFor([&] {
            shot = Screenshot();
            if (!shot) return false;
            for (int y = 56; y < 70; ++y)
                for (int x = 0; x < 100; ++x)
                    if (Close(shot->GetPixelARGB(x, y) & 0xFFFFFF, 0x00C800, 8)) return true;
            return false;
        });
    }

    // What a window manager sends when the player closes the window.
    void SendCloseRequest() {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display.get(), "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(display.get(), "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display.get(), window, False, NoEventMask, &event);
        XFlush(display.get());
    }

    bool WindowGoneWithin(std::chrono::milliseconds patience) {
        const auto deadline = std::chrono::steady_clock::now() + patience;
        XWindowAttributes attributes{};
        do {
            if (!XGetWindowAttributes(display.get(), window, &attributes) ||
                attributes.map_state != IsViewable)
                return true;
            std::this_thread::sleep_for(10ms);
        } while (std::chrono::steady_clock::now() < deadline);
        return false;
    }

    // The exit code once the process ends within the time, else none.
    std::optional<int> ExitCodeWithin(std::chrono::milliseconds patience) {
        const auto deadline = std::chrono::steady_clock::now() + patience;
        do {
            if (std::optional<int> code = ExitCode()) return code;
            std::this_thread::sleep_for(10ms);
        } while (std::chrono::steady_clock::now() < deadline);
        return ExitCode();
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
    Ref<TPixmap> Screenshot(int width = 512, int height = 512) {
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(display.get(), window, &attributes) ||
            attributes.map_state != IsViewable || attributes.width < width || attributes.height < height)
            return nullptr;
        XImage* image = XGetImage(display.get(), window, 0, 0, width, height, AllPlanes, ZPixmap);
        if (!image) return nullptr;
        Ref<TPixmap> shot = qrv::NewPixmap(width, height, qrv::FormatRGBA8888, 4);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
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
    const TEnvironment environment;
    // The program that is copied and started, and what starts it (nothing: it runs itself).
    std::filesystem::path program = ZORVAK_PROGRAM;
    std::vector<std::string> launcher;
    std::unique_ptr<Display, XCloser> display;
    std::filesystem::path folder;
    Ref<TPixmap> background;
    Window window = 0;
    pid_t pid = -1;
};

}  // namespace program_test
