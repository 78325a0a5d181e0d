#include "tests/support/XvfbServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

extern char** environ;

namespace {

constexpr int kStartTimeoutMilliseconds = 10000;

// Xvfb writes its display number and a newline to -displayfd once it
// accepts clients.
std::string readDisplayNumber(int descriptor) {
    std::string number;
    pollfd ready{descriptor, POLLIN, 0};
    while (poll(&ready, 1, kStartTimeoutMilliseconds) == 1) {
        char digit;
        if (read(descriptor, &digit, 1) != 1 || digit == '\n') break;
        number += digit;
    }
    return number;
}

} // namespace

XvfbServer::XvfbServer(const std::vector<std::string>& screens) {
    int ends[2];
    if (pipe(ends) != 0) return;
    std::vector<std::string> arguments{"Xvfb", "-displayfd", std::to_string(ends[1]), "-nolisten", "tcp", "-noreset"};
    for (std::size_t index = 0; index < screens.size(); ++index) {
        arguments.insert(arguments.end(), {"-screen", std::to_string(index), screens[index]});
    }
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, ends[0]);
    // Its complaints about missing fonts and keymaps are not the test's, and
    // it must not hold the test's output open.
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const int spawned = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    if (spawned != 0) {
        pid_ = -1;
        close(ends[0]);
        return;
    }
    const std::string number = readDisplayNumber(ends[0]);
    close(ends[0]);
    if (!number.empty()) display_ = ":" + number;
}

XvfbServer::~XvfbServer() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
}
