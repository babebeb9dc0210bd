#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <type_traits>

namespace qrv::bench {

// Runs measure() in a child process, so that it starts cold, and reads its result back through
// a pipe; false when the child could not report it.
template <typename T>
bool MeasureInFreshProcess(T (*measure)(), T& result) {
    static_assert(std::is_trivially_copyable_v<T>, "the result crosses a pipe as bytes");
    int channel[2];
    if (pipe(channel) != 0) return false;
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        const T measured = measure();
        const bool written = write(channel[1], &measured, sizeof measured) == sizeof measured;
        _exit(written ? 0 : 1);
    }
    close(channel[1]);
    const bool read = ::read(channel[0], &result, sizeof result) == sizeof result;
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return read;
}

}  // namespace qrv::bench
