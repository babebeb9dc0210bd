// Interrupt and termination signals reach a real framework program as a close request it can
// answer, and a second one ends it by the signal.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr auto kPatience = 30s;  // a sanitizer build on a busy machine starts slowly

class CloseSignal : public ::testing::TestWithParam<int> {
protected:
    void TearDown() override {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (output >= 0) close(output);
    }

    void Start() {
        int channel[2];
        ASSERT_EQ(pipe(channel), 0);
        pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            dup2(channel[1], STDOUT_FILENO);
            close(channel[0]);
            close(channel[1]);
            execl(CLOSE_SIGNAL_PROGRAM, CLOSE_SIGNAL_PROGRAM, static_cast<char*>(nullptr));
            _exit(127);
        }
        close(channel[1]);
        output = channel[0];
    }

    // The next line the program writes; empty when none comes in time.
    std::string NextLine() {
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        for (;;) {
            if (const size_t end = buffer.find('\n'); end != std::string::npos) {
                std::string line = buffer.substr(0, end);
                buffer.erase(0, end + 1);
                return line;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd ready{output, POLLIN, 0};
            if (left <= 0ms || poll(&ready, 1, static_cast<int>(left.count())) <= 0) return {};
            char bytes[256];
            const ssize_t count = read(output, bytes, sizeof bytes);
            if (count <= 0) return {};
            buffer.append(bytes, static_cast<size_t>(count));
        }
    }

    // The program's wait status once it ends within the time.
    std::optional<int> StatusWithin(std::chrono::milliseconds patience) {
        const auto deadline = std::chrono::steady_clock::now() + patience;
        int status = 0;
        while (std::chrono::steady_clock::now() < deadline) {
            if (waitpid(pid, &status, WNOHANG) == pid) {
                pid = -1;
                return status;
            }
            std::this_thread::sleep_for(10ms);
        }
        return std::nullopt;
    }

    pid_t pid = -1;
    int output = -1;
    std::string buffer;
};

TEST_P(CloseSignal, TheFirstIsACloseRequestTheSecondEndsTheProgramByIt) {
    const int signal = GetParam();
    Start();
    ASSERT_EQ(NextLine(), "ready");

    ASSERT_EQ(kill(pid, signal), 0);
    EXPECT_EQ(NextLine(), "AppTerminate event") << "the waiting program did not see the signal";
    EXPECT_EQ(NextLine(), "close requested");
    EXPECT_FALSE(StatusWithin(300ms)) << "the program should run on after the close request";

    ASSERT_EQ(kill(pid, signal), 0);
    const std::optional<int> status = StatusWithin(kPatience);
    ASSERT_TRUE(status) << "the second signal did not end the program";
    EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == signal)
        << "ended with exit code " << (WIFEXITED(*status) ? WEXITSTATUS(*status) : -1)
        << " rather than by signal " << signal;
    EXPECT_EQ(NextLine(), "") << "nothing more after the first close request";
}

INSTANTIATE_TEST_SUITE_P(, CloseSignal, ::testing::Values(SIGINT, SIGTERM),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(info.param == SIGINT ? "Interrupt" : "Terminate");
                         });

}  // namespace
