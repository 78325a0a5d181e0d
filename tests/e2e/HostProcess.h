#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// korlan-flow (or another program) running as a child of the test, with the
// host's validation layer on and its standard error kept for the test to
// read. Killed with the object if it still runs, and sent SIGTERM when the
// test process ends.
class HostProcess {
public:
    // Environment entries ("NAME=value") are added to the test's own.
    HostProcess(std::vector<std::string> arguments, std::vector<std::string> environment,
                std::string program = KORLAN_FLOW_HOST_PATH);
    ~HostProcess();
    HostProcess(const HostProcess&) = delete;
    HostProcess& operator=(const HostProcess&) = delete;

    // The exit status (128 + the signal for a killed one) once the program
    // ended within the time; nullopt while it still runs.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout);
    void signal(int signalNumber);
    pid_t pid() const { return pid_; }
    // The processes the program started, and those they started in turn.
    std::vector<pid_t> descendants() const;
    std::string errorOutput() const;

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
    std::string errorPath_;
};

// What the validation layer said, line by line; empty when it said nothing.
std::string validationMessagesIn(const std::string& errorOutput);

// The frame rates that --fps printed, one a second, in order.
std::vector<double> frameRatesIn(const std::string& errorOutput);
