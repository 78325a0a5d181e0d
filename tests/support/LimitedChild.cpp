#include "tests/support/LimitedChild.h"

#include "tests/support/TiedProcess.h"

#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace {

void limitAddressSpace([[maybe_unused]] std::size_t bytes) {
#if !defined(__SANITIZE_ADDRESS__)
    const rlimit limit{bytes, bytes};
    setrlimit(RLIMIT_AS, &limit);
#endif
}

// True when the child exited within the time; it is reaped in either case.
bool exitsWithin(pid_t child, std::chrono::milliseconds time) {
    const int exitWatch = static_cast<int>(syscall(SYS_pidfd_open, child, 0));
    pollfd watch{exitWatch, POLLIN, 0};
    int ready = 0;
    do {
        ready = poll(&watch, 1, static_cast<int>(time.count()));
    } while (ready < 0 && errno == EINTR);
    close(exitWatch);
    return ready > 0;
}

} // namespace

ChildOutcome runInLimitedChild(const std::function<int()>& work, const ChildLimits& limits) {
    const auto start = std::chrono::steady_clock::now();
    // The child is a copy of the test, with its signal handlers: only SIGKILL
    // surely ends it.
    const pid_t child = forkTied(SIGKILL);
    if (child == 0) {
        limitAddressSpace(limits.addressSpaceBytes);
        _exit(work());
    }
    ChildOutcome outcome;
    outcome.killedAtTimeLimit = !exitsWithin(child, limits.wallTime);
    if (outcome.killedAtTimeLimit) kill(child, SIGKILL);
    int status = 0;
    rusage usage{};
    while (wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    outcome.peakResidentBytes = static_cast<std::size_t>(usage.ru_maxrss) * 1024;
    if (WIFEXITED(status)) outcome.exitStatus = WEXITSTATUS(status);
    return outcome;
}
