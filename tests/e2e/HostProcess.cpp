#include "tests/e2e/HostProcess.h"

#include "tests/support/ProcessTable.h"
#include "tests/support/TiedProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

extern char** environ;

namespace {

// The CPU driver is unloaded before a sanitized host exits, and what it
// keeps to itself would be reported as leaks of no library; the paths are
// checked for leaks in process by the other suites.
const char* const kHostEnvironment[] = {"ASAN_OPTIONS=detect_leaks=0", "KORLAN_FLOW_VALIDATION=1"};

// The test's environment, then the host's defaults, then the additions:
// a later entry replaces an earlier one of the same name.
std::vector<std::string> environmentWith(const std::vector<std::string>& additions) {
    std::vector<std::string> entries;
    const auto set = [&entries](const std::string& entry) {
        const auto name = entry.substr(0, entry.find('=') + 1);
        std::erase_if(entries, [&name](const std::string& existing) { return existing.starts_with(name); });
        entries.push_back(entry);
    };
    for (char** entry = environ; *entry; ++entry) set(*entry);
    for (const char* entry : kHostEnvironment) set(entry);
    for (const auto& entry : additions) set(entry);
    return entries;
}

} // namespace

HostProcess::HostProcess(std::vector<std::string> arguments, std::vector<std::string> environment,
                         std::string program) {
    char path[] = "/tmp/korlan-flow-e2e-stderr-XXXXXX";
    const int errorFile = mkostemp(path, O_CLOEXEC);
    errorPath_ = path;
    const int noInput = open("/dev/null", O_RDONLY | O_CLOEXEC);
    arguments.insert(arguments.begin(), std::move(program));
    TiedCommand command(std::move(arguments));
    command.environment = environmentWith(environment);
    command.input = noInput;
    command.error = errorFile;
    pid_ = spawnTied(std::move(command));
    close(noInput);
    close(errorFile);
}

HostProcess::~HostProcess() {
    if (pid_ > 0 && !status_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    unlink(errorPath_.c_str());
}

std::optional<int> HostProcess::waitForExit(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!status_ && pid_ > 0) {
        int waitStatus = 0;
        if (waitpid(pid_, &waitStatus, WNOHANG) == pid_) {
            status_ = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 128 + WTERMSIG(waitStatus);
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return status_;
}

void HostProcess::signal(int signalNumber) {
    if (pid_ > 0 && !status_) kill(pid_, signalNumber);
}

std::vector<pid_t> HostProcess::descendants() const {
    const auto processes = processTable();
    std::vector<pid_t> family{pid_};
    for (std::size_t index = 0; index < family.size(); ++index) {
        for (const auto& entry : processes) {
            if (entry.parent == family[index]) family.push_back(entry.process);
        }
    }
    family.erase(family.begin());
    return family;
}

std::string HostProcess::errorOutput() const {
    std::ifstream file(errorPath_);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

std::string validationMessagesIn(const std::string& errorOutput) {
    std::istringstream lines(errorOutput);
    std::string messages;
    for (std::string line; std::getline(lines, line);) {
        if (line.find("validation:") != std::string::npos) messages += line + "\n";
    }
    return messages;
}

std::vector<double> frameRatesIn(const std::string& errorOutput) {
    std::vector<double> rates;
    std::istringstream lines(errorOutput);
    for (std::string line; std::getline(lines, line);) {
        double rate = 0.0;
        if (std::sscanf(line.c_str(), "korlan-flow: %lf frames/s", &rate) == 1) rates.push_back(rate);
    }
    return rates;
}
