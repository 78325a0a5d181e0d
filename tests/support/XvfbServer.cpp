#include "tests/support/XvfbServer.h"

#include "tests/support/TiedProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

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
    // Only the write end goes to the server.
    fcntl(ends[0], F_SETFD, FD_CLOEXEC);
    TiedCommand command({"Xvfb", "-displayfd", std::to_string(ends[1]), "-nolisten", "tcp", "-noreset"});
    for (std::size_t index = 0; index < screens.size(); ++index) {
        command.arguments.insert(command.arguments.end(), {"-screen", std::to_string(index), screens[index]});
    }
    // Its complaints about missing fonts and keymaps are not the test's, and
    // it must not hold the test's output open.
    const int nowhere = open("/dev/null", O_WRONLY | O_CLOEXEC);
    command.output = command.error = nowhere;
    pid_ = spawnTied(std::move(command));
    close(nowhere);
    close(ends[1]);
    const std::string number = pid_ > 0 ? readDisplayNumber(ends[0]) : "";
    close(ends[0]);
    if (!number.empty()) display_ = ":" + number;
}

XvfbServer::~XvfbServer() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
}
