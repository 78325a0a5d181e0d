#include "tests/support/TiedProcess.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace {

std::vector<char*> pointersTo(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (auto& string : strings) pointers.push_back(string.data());
    pointers.push_back(nullptr);
    return pointers;
}

void redirect(int descriptor, int stream) {
    if (descriptor >= 0) dup2(descriptor, stream);
}

// Runs in the forked child, so it allocates nothing: everything it needs
// was built before the fork.
[[noreturn]] void execute(const TiedCommand& command, char* const* argv, char* const* envp, int failureReport) {
    redirect(command.input, STDIN_FILENO);
    redirect(command.output, STDOUT_FILENO);
    redirect(command.error, STDERR_FILENO);
    execvpe(argv[0], argv, envp);
    const int failure = errno;
    [[maybe_unused]] const auto written = write(failureReport, &failure, sizeof failure);
    _exit(127);
}

// The report's write end closes on a successful exec; what arrives before
// that is exec's error.
bool execFailed(int failureReport) {
    int failure = 0;
    ssize_t received = 0;
    do {
        received = read(failureReport, &failure, sizeof failure);
    } while (received < 0 && errno == EINTR);
    return received > 0;
}

} // namespace

void tieToParent(pid_t parent, int deathSignal) {
    // The signal is asked for only now, after the fork: a parent that ended
    // in between has handed the child to another and will send nothing.
    if (prctl(PR_SET_PDEATHSIG, deathSignal) != 0 || getppid() != parent) _exit(127);
}

pid_t forkTied(int deathSignal) {
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child == 0) tieToParent(parent, deathSignal);
    return child;
}

pid_t spawnTied(TiedCommand command) {
    const auto argv = pointersTo(command.arguments);
    const auto environment = command.environment ? pointersTo(*command.environment) : std::vector<char*>{};
    char* const* envp = command.environment ? environment.data() : environ;
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) return -1;
    const pid_t child = forkTied(command.deathSignal);
    if (child == 0) execute(command, argv.data(), envp, report[1]);
    close(report[1]);
    const bool started = child > 0 && !execFailed(report[0]);
    close(report[0]);
    if (child > 0 && !started) waitpid(child, nullptr, 0);
    return started ? child : -1;
}
