#pragma once

#include <sys/types.h>

#include <csignal>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Processes a test starts end with the test, however it ends: a finished
// run, a failed assertion, an abort or ctest's kill at its time limit. The
// kernel sends each child a signal when its parent ends (PR_SET_PDEATHSIG),
// so nothing has to run in the test as it goes.
//
// Linux sends that signal when the *thread* that forked the child ends, not
// the process. Children are therefore started from a thread that outlives
// them: the tests start theirs from gtest's main thread, which lives as
// long as the process. A thread that starts a child and then ends takes
// the child with it.

// Called in a child just forked from parent: it gets the signal when the
// thread that forked it ends, and ends at once when that has already
// happened. Safe to call between fork and exec.
void tieToParent(pid_t parent, int deathSignal);

// fork(), with the child tied to the calling thread.
pid_t forkTied(int deathSignal);

struct TiedCommand {
    explicit TiedCommand(std::vector<std::string> programAndArguments) : arguments(std::move(programAndArguments)) {}

    // The program, looked up on PATH, then its arguments.
    std::vector<std::string> arguments;
    // Its whole environment as "NAME=value"; the test's own when absent.
    std::optional<std::vector<std::string>> environment;
    // Descriptors that become its standard streams; -1 leaves the test's.
    int input = -1;
    int output = -1;
    int error = -1;
    // SIGTERM lets a program tidy up as it ends: Xvfb removes its lock
    // file, runuser passes the signal on to the program it runs.
    int deathSignal = SIGTERM;
};

// The started program's process, or -1 when the program could not be run.
pid_t spawnTied(TiedCommand command);
