#pragma once

#include <sys/types.h>

#include <optional>
#include <vector>

// A process as /proc/<pid>/stat tells of it.
struct ProcessEntry {
    pid_t process = 0;
    pid_t parent = 0;
    // Ended, and not yet reaped by its parent.
    bool zombie = false;
};

// nullopt once the process is gone.
std::optional<ProcessEntry> processEntry(pid_t process);

// Every process on the machine, less those that end while it is read.
std::vector<ProcessEntry> processTable();
