// Measures programs from outside, as an X client on the display they use.
//
//   startup_probe start RUNS PROGRAM TITLE PEER PEER_TITLE
//     Starts the program and its peer alternately, RUNS times each, and for every start prints
//     the time from starting the process to the first presented frame that shows a light pixel
//     at (400, 400) of the window with that title (the game's board; the peer's cleared
//     frame), the processor time the process had used by then (all its threads), and its peak
//     memory (VmHWM) then.
//   startup_probe idle SECONDS PROGRAM TITLE PEER PEER_TITLE [PEER_ARGUMENT]
//     Starts each, waits for that frame and a second more, then prints the share of one core
//     the process uses over SECONDS, and its peak memory (VmHWM) by the end.
//
// One JSON object per line: {"mode", "who", "run", "wall_ms", "cpu_ms", "hwm_mib", "cpu_share"}.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dirent.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int PROBE_X = 400, PROBE_Y = 400;
constexpr int LIGHT = 128;
constexpr auto POLL = std::chrono::microseconds(500);
constexpr auto PATIENCE = std::chrono::seconds(60);

int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

std::optional<Window> FindWindow(Display* display, Window parent, const std::string& title) {
    Window root = 0, up = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count)) return std::nullopt;
    std::optional<Window> found;
    for (unsigned int i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name) {
            if (title == name) found = children[i];
            XFree(name);
        }
        if (!found) found = FindWindow(display, children[i], title);
    }
    if (children) XFree(children);
    return found;
}

bool ShowsLightProbe(Display* display, Window window) {
    XImage* image = XGetImage(display, window, PROBE_X, PROBE_Y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return false;
    const unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return ((pixel >> 16) & 0xFF) > LIGHT && ((pixel >> 8) & 0xFF) > LIGHT && (pixel & 0xFF) > LIGHT;
}

// Milliseconds on a processor of each of the process's threads, by thread id.
std::map<std::string, double> ThreadCpuMillis(pid_t pid) {
    std::map<std::string, double> threads;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR* dir = opendir(tasks.c_str());
    if (!dir) return threads;
    while (dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        std::ifstream stat(tasks + "/" + entry->d_name + "/schedstat");
        double onCpu = 0;
        if (stat >> onCpu) threads[entry->d_name] = onCpu / 1e6;
    }
    closedir(dir);
    return threads;
}

// Milliseconds on a processor, summed over the process's threads.
double CpuMillis(pid_t pid) {
    double millis = 0;
    for (const auto& [thread, used] : ThreadCpuMillis(pid)) millis += used;
    return millis;
}

// The processor time the process's threads use over the duration. A thread that ends on the
// way takes its time with it, so the threads are read every 100 ms and each counts with the
// last reading it had: at most 100 ms of a thread that ends are missed, and the result never
// goes below zero.
double CpuMillisOver(pid_t pid, std::chrono::milliseconds duration) {
    const std::map<std::string, double> first = ThreadCpuMillis(pid);
    std::map<std::string, double> last = first;
    const Clock::time_point end = Clock::now() + duration;
    while (Clock::now() < end) {
        std::this_thread::sleep_for(std::min<Clock::duration>(std::chrono::milliseconds(100), end - Clock::now()));
        for (const auto& [thread, used] : ThreadCpuMillis(pid)) last[thread] = used;
    }
    double millis = 0;
    for (const auto& [thread, used] : last) {
        const auto before = first.find(thread);
        millis += used - (before == first.end() ? 0 : before->second);
    }
    return millis;
}

double PeakMemoryMiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atof(line.c_str() + 6) / 1024;
    return 0;
}

pid_t Start(const std::vector<std::string>& command) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    std::vector<char*> argv;
    for (const std::string& part : command) argv.push_back(const_cast<char*>(part.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
}

// A framework program takes SIGTERM as a close request, which a screen that never looks for one
// leaves unanswered: after a while the program is killed.
void End(pid_t pid) {
    kill(pid, SIGTERM);
    int status = 0;
    for (int tries = 0; tries < 500; ++tries) {
        if (waitpid(pid, &status, WNOHANG) == pid) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
}

// Waits for the light frame; false when it never came.
bool AwaitFrame(Display* display, const std::string& title, Clock::time_point started) {
    std::optional<Window> window;
    while (Clock::now() - started < PATIENCE) {
        if (!window) window = FindWindow(display, DefaultRootWindow(display), title);
        if (window && ShowsLightProbe(display, *window)) return true;
        std::this_thread::sleep_for(POLL);
    }
    return false;
}

struct TProgram {
    std::string who;
    std::vector<std::string> command;
    std::string title;
};

void MeasureStart(Display* display, const TProgram& program, int run) {
    const Clock::time_point started = Clock::now();
    const pid_t pid = Start(program.command);
    const bool shown = AwaitFrame(display, program.title, started);
    const double wall = std::chrono::duration<double, std::milli>(Clock::now() - started).count();
    const double cpu = CpuMillis(pid), hwm = PeakMemoryMiB(pid);
    End(pid);
    if (!shown) {
        std::printf("{\"mode\": \"start\", \"who\": \"%s\", \"run\": %d, \"error\": \"no frame\"}\n",
                    program.who.c_str(), run);
        return;
    }
    std::printf("{\"mode\": \"start\", \"who\": \"%s\", \"run\": %d, \"wall_ms\": %.2f, \"cpu_ms\": %.2f, "
                "\"hwm_mib\": %.2f}\n", program.who.c_str(), run, wall, cpu, hwm);
    std::fflush(stdout);
}

void MeasureIdle(Display* display, const TProgram& program, int seconds) {
    const pid_t pid = Start(program.command);
    if (AwaitFrame(display, program.title, Clock::now())) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const Clock::time_point from = Clock::now();
        const double used = CpuMillisOver(pid, std::chrono::seconds(seconds));
        const double elapsed = std::chrono::duration<double, std::milli>(Clock::now() - from).count();
        std::printf("{\"mode\": \"idle\", \"who\": \"%s\", \"cpu_share\": %.5f, \"hwm_mib\": %.2f}\n",
                    program.who.c_str(), used / elapsed, PeakMemoryMiB(pid));
    } else {
        std::printf("{\"mode\": \"idle\", \"who\": \"%s\", \"error\": \"no frame\"}\n", program.who.c_str());
    }
    std::fflush(stdout);
    End(pid);
}

int Usage() {
    std::fprintf(stderr, "usage: startup_probe start|idle COUNT PROGRAM TITLE PEER PEER_TITLE [PEER_ARGUMENT]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 7) return Usage();
    const std::string mode = argv[1];
    const int count = std::atoi(argv[2]);
    TProgram program{"program", {argv[3]}, argv[4]};
    TProgram peer{"peer", {argv[5]}, argv[6]};
    if (argc > 7) peer.command.push_back(argv[7]);
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "startup_probe: no display\n");
        return 1;
    }
    XSetErrorHandler(IgnoreXError);
    if (mode == "start") {
        for (int run = 0; run < count; ++run) {
            MeasureStart(display, program, run);
            MeasureStart(display, peer, run);
        }
    } else if (mode == "idle") {
        MeasureIdle(display, program, count);
        MeasureIdle(display, peer, count);
    } else {
        return Usage();
    }
    XCloseDisplay(display);
    return 0;
}
