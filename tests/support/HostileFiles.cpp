#include "tests/support/HostileFiles.h"

#include <sys/stat.h>

#include <fstream>

const std::vector<HostileFile>& nonRegularFiles() {
    static const std::vector<HostileFile> files{
        {"a FIFO", [](const std::filesystem::path& path) { mkfifo(path.c_str(), 0600); }},
        {"a link to an endless device",
         [](const std::filesystem::path& path) { std::filesystem::create_symlink("/dev/zero", path); }},
        {"a directory", [](const std::filesystem::path& path) { std::filesystem::create_directory(path); }},
    };
    return files;
}

void makeSparseFile(const std::filesystem::path& path, std::uintmax_t size) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).flush();
    std::filesystem::resize_file(path, size);
}
