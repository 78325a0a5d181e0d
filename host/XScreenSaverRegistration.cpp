#include "host/XScreenSaverRegistration.h"

#include "host/XScreenSaverPrograms.h"

#include "platform/foundation/BaseDirectories.h"
#include "platform/foundation/FileReplacement.h"
#include "platform/foundation/RegularFile.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <span>

namespace {

constexpr const char* kLabel = "KORLAN Flow";
constexpr const char* kSettingsFileName = ".xscreensaver";
// The daemon's own files are a few kilobytes; anything far larger is not one.
constexpr std::size_t kSizeLimit = 4 << 20;
constexpr unsigned kNewFileMode = 0644;

int fail(const std::string& message) {
    std::fprintf(stderr, "korlan-flow: %s\n", message.c_str());
    return EXIT_FAILURE;
}

std::string commandFor(const std::filesystem::path& program, const HostOptions& options) {
    std::string command = shellWord(program.string());
    if (options.software) command += " --software";
    if (options.framesPerSecond) command += " --fps";
    return command + " --root";
}

// An existing file keeps its permissions.
unsigned modeFor(const std::filesystem::path& file) {
    struct stat status{};
    return stat(file.c_str(), &status) == 0 ? status.st_mode & 07777 : kNewFileMode;
}

} // namespace

int registerWithXScreenSaver(const std::filesystem::path& program, const HostOptions& options) {
    const auto home = foundation::homeDirectory();
    if (home.empty()) return fail("no home directory to find ~/.xscreensaver in");
    const auto settingsFile = home / kSettingsFileName;
    const auto contents = foundation::readRegularFile(settingsFile, kSizeLimit);
    if (!contents.wasRead() && contents.failure != foundation::FileReadFailure::Missing) {
        return fail("cannot read " + settingsFile.string() + ": " + contents.reason());
    }
    const auto registered = withProgramsEntry(std::string(contents.bytes.begin(), contents.bytes.end()),
                                              programsEntry(kLabel, commandFor(program, options)),
                                              program.filename().string());
    if (!registered) {
        std::printf("%s already lists %s\n", settingsFile.c_str(), program.filename().c_str());
        return EXIT_SUCCESS;
    }
    // A link, as dotfile managers make them, stays a link to the changed file.
    const auto target = foundation::followLinks(settingsFile);
    std::string reason;
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(registered->data()), registered->size());
    if (!foundation::replaceFileContents(target, bytes, modeFor(target), true, &reason)) {
        return fail("cannot write " + target.string() + ": " + reason);
    }
    std::printf("added \"%s\" to the programs in %s\n", kLabel, settingsFile.c_str());
    return EXIT_SUCCESS;
}
