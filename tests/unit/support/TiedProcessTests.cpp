// Processes a test starts end with it, even when it is killed outright.
#include "tests/support/ProcessTable.h"
#include "tests/support/TiedProcess.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <thread>

using namespace std::chrono_literals;

namespace {

// A child handed to an init that does not reap stays a zombie: it has
// ended all the same.
bool runs(pid_t process) {
    const auto entry = processEntry(process);
    return entry && !entry->zombie;
}

bool endsWithin(pid_t process, std::chrono::milliseconds time) {
    const auto deadline = std::chrono::steady_clock::now() + time;
    while (runs(process)) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

// A test process with a program and a copy of itself running, which hands
// their ids over and then waits to be killed.
pid_t testWithTwoChildren(std::array<pid_t, 2>& children) {
    int ends[2];
    if (pipe(ends) != 0) return -1;
    const pid_t test = fork();
    if (test == 0) {
        const std::array<pid_t, 2> started{spawnTied(TiedCommand({"sleep", "300"})), forkTied(SIGKILL)};
        if (started[1] != 0) {
            [[maybe_unused]] const auto written = write(ends[1], started.data(), sizeof started);
        }
        for (;;) pause();
    }
    close(ends[1]);
    const bool handedOver = read(ends[0], children.data(), sizeof children) == ssize_t(sizeof children);
    close(ends[0]);
    return handedOver ? test : -1;
}

} // namespace

TEST(TiedProcess, ChildrenEndWhenTheTestThatStartedThemIsKilled) {
    std::array<pid_t, 2> children{};
    const pid_t test = testWithTwoChildren(children);
    ASSERT_GT(test, 0);
    for (const pid_t child : children) EXPECT_TRUE(runs(child)) << child;

    kill(test, SIGKILL);
    waitpid(test, nullptr, 0);
    for (const pid_t child : children) {
        if (endsWithin(child, 5s)) continue;
        ADD_FAILURE() << child << " outlived the test that started it";
        kill(child, SIGKILL);
    }
}

TEST(TiedProcess, AProgramThatCannotBeRunStartsNoProcess) {
    EXPECT_EQ(spawnTied(TiedCommand({"/nonexistent/korlan-flow-test-program"})), -1);
}
