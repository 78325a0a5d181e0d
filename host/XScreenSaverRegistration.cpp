#include "host/XScreenSaverRegistration.h"

#include "host/XScreenSaverPrograms.h"

#include "platform/foundation/BaseDirectories.h"
#include "platform/foundation/ExclusiveFileLock.h"
#include "platform/foundation/FileReplacement.h"
#include "platform/foundation/RegularFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <string_view>

namespace {

constexpr const char* kLabel = "KORLAN Flow";
constexpr const char* kSettingsFileName = ".xscreensaver";
// The daemon's own files are a few kilobytes; anything far larger is not one.
constexpr std::size_t kSizeLimit = 4 << 20;
constexpr unsigned kNewFileMode = 0644;
// Another registration holds the file only for as long as it takes to write
// a few kilobytes.
constexpr std::chrono::milliseconds kLockPatience{5000};

int fail(const std::string& message) {
    std::fprintf(stderr, "korlan-flow: %s\n", message.c_str());
    return EXIT_FAILURE;
}

bool isControlCharacter(unsigned char c) { return c < 0x20 || c == 0x7f; }

// text for a message: its control characters as \xNN, so that a newline in
// a path cannot fake a line of output.
std::string shown(std::string_view text) {
    std::string result;
    for (const unsigned char c : text) {
        if (!isControlCharacter(c)) {
            result += static_cast<char>(c);
            continue;
        }
        char code[5];
        std::snprintf(code, sizeof code, "\\x%02x", c);
        result += code;
    }
    return result;
}

std::string commandFor(const std::filesystem::path& program, const HostOptions& options) {
    std::string command = shellWord(program.string());
    if (options.software) command += " --software";
    if (options.framesPerSecond) command += " --fps";
    return command + " --root";
}

// Why the user's file is not ours to change: replacing it would drop the
// protection its owner gave it, which even root's writes must respect.
std::optional<std::string> protectionOf(const struct stat& status) {
    if (status.st_uid != geteuid()) return "belongs to another user";
    if (!(status.st_mode & S_IWUSR)) return "is read-only";
    return std::nullopt;
}

// Writes a new file, or an ordinary one, through a replacement, so that a
// crash leaves the old file or the new one. A file with several hard links
// is written in place instead, where every one of its names sees the
// change; a replacement would leave the other names on the old file.
bool write(const std::filesystem::path& file, const std::optional<struct stat>& existing, const std::string& text,
           std::string* reason) {
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    if (existing && existing->st_nlink > 1) return foundation::overwriteFileContents(file, bytes, true, reason);
    const unsigned mode = existing ? existing->st_mode & 07777 : kNewFileMode;
    return foundation::replaceFileContents(file, bytes, mode, true, reason);
}

std::optional<struct stat> statusOf(const std::filesystem::path& file) {
    struct stat status{};
    if (stat(file.c_str(), &status) != 0) return std::nullopt;
    return status;
}

} // namespace

int registerWithXScreenSaver(const std::filesystem::path& program, const HostOptions& options) {
    if (std::ranges::any_of(program.string(), isControlCharacter)) {
        return fail(shown(program.string()) + " holds a control character, which the programs list of "
                                               "~/.xscreensaver cannot hold; not changed");
    }
    const auto home = foundation::homeDirectory();
    if (home.empty()) return fail("no home directory to find ~/.xscreensaver in");
    const auto settingsFile = home / kSettingsFileName;
    // A link, as dotfile managers make them, stays a link to the changed file.
    const auto target = foundation::followLinks(settingsFile);
    // Registrations at once would otherwise read a file that another one is
    // writing in place. A missing file needs no lock: only a replacement,
    // which is never seen half written, creates it.
    std::optional<foundation::ExclusiveFileLock> lock;
    if (const auto unlocked = statusOf(target); unlocked && S_ISREG(unlocked->st_mode)) {
        lock.emplace(target, kLockPatience, foundation::ExclusiveFileLock::Locked::ContentsFile);
        if (!lock->held()) return fail("cannot lock " + target.string() + ": " + lock->failure());
    }
    // As the lock's last holder left it.
    const auto existing = statusOf(target);
    const auto contents = foundation::readRegularFile(target, kSizeLimit);
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
    if (const auto protection = existing ? protectionOf(*existing) : std::nullopt) {
        return fail(target.string() + " " + *protection + "; not changed");
    }
    std::string reason;
    if (!write(target, existing, *registered, &reason)) return fail("cannot write " + target.string() + ": " + reason);
    std::printf("added \"%s\" to the programs in %s\n", kLabel, settingsFile.c_str());
    return EXIT_SUCCESS;
}
