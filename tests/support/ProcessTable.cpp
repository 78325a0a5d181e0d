#include "tests/support/ProcessTable.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

std::optional<ProcessEntry> processEntry(pid_t process) {
    std::ifstream stat("/proc/" + std::to_string(process) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return std::nullopt;
    // The state and the parent follow the command name, which is in
    // parentheses and may hold spaces and parentheses of its own.
    std::istringstream fields(line.substr(line.rfind(')') + 1));
    char state = 0;
    ProcessEntry entry{.process = process};
    if (!(fields >> state >> entry.parent)) return std::nullopt;
    entry.zombie = state == 'Z';
    return entry;
}

std::vector<ProcessEntry> processTable() {
    std::vector<ProcessEntry> table;
    for (const auto& directory : std::filesystem::directory_iterator("/proc")) {
        const std::string name = directory.path().filename();
        pid_t process = 0;
        const auto [end, failure] = std::from_chars(name.data(), name.data() + name.size(), process);
        if (failure != std::errc() || end != name.data() + name.size()) continue;
        if (const auto entry = processEntry(process)) table.push_back(*entry);
    }
    return table;
}
