#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

// What an unlucky or hostile user may leave where a program expects a file.
struct HostileFile {
    const char* what;
    std::function<void(const std::filesystem::path&)> make;
};

// A FIFO without a writer, a link to an endless device and a directory:
// opened blocking or read to the end, the first two never return.
const std::vector<HostileFile>& nonRegularFiles();

// A regular file of the given size that takes no room on the disk.
void makeSparseFile(const std::filesystem::path& path, std::uintmax_t size);
