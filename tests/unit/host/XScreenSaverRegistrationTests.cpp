// korlan-flow --register-xscreensaver on a scratch home: the option, the
// file it writes, links and permissions kept, and the files it cannot use.
#include "host/HostOptions.h"
#include "host/XScreenSaverRegistration.h"

#include "tests/support/ScratchDirectoryVariable.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <iterator>

namespace {

const std::filesystem::path kProgram = "/opt/kf/bin/korlan-flow";

std::optional<HostOptions> parse(std::vector<std::string> arguments, std::string& problem) {
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    // The daemon's window must not turn a registration into a saver run.
    return parseHostOptions(argv, "0x40000f", "default.saver", problem);
}

HostOptions registration(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "--register-xscreensaver");
    std::string problem;
    const auto options = parse(arguments, problem);
    EXPECT_TRUE(options) << problem;
    return options.value_or(HostOptions{});
}

std::string contentsOf(const std::filesystem::path& file) {
    std::ifstream stream(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), {});
}

ino_t inodeOf(const std::filesystem::path& file) {
    struct stat status{};
    stat(file.c_str(), &status);
    return status.st_ino;
}

} // namespace

TEST(XScreenSaverRegistration, TakesOnlyTheFlagsTheRegisteredSaverRunsWith) {
    const auto options = registration({"--software", "-fps"});
    EXPECT_TRUE(options.registerXScreenSaver);
    EXPECT_TRUE(options.software);
    EXPECT_TRUE(options.framesPerSecond);
    for (const auto& arguments : {std::vector<std::string>{"--register-xscreensaver", "--root"},
                                  std::vector<std::string>{"--register-xscreensaver", "--window-id", "7"},
                                  std::vector<std::string>{"--register-xscreensaver", "config"}}) {
        std::string problem;
        EXPECT_FALSE(parse(arguments, problem)) << arguments.back();
        EXPECT_EQ(problem, "--register-xscreensaver takes no command, --window-id, --root or --window");
    }
}

TEST(XScreenSaverRegistration, WritesTheEntryOnceWithTheGivenFlags) {
    ScratchDirectoryVariable home("HOME");
    const auto settings = home.root() / ".xscreensaver";

    ASSERT_EQ(registerWithXScreenSaver(kProgram, registration({"--software", "--fps"})), 0);
    EXPECT_EQ(contentsOf(settings),
              "programs: \\\n  \"KORLAN Flow\"  /opt/kf/bin/korlan-flow --software --fps --root\n");

    // Already there: the file is not even replaced.
    const ino_t written = inodeOf(settings);
    ASSERT_EQ(registerWithXScreenSaver(kProgram, registration({})), 0);
    EXPECT_EQ(inodeOf(settings), written);
}

TEST(XScreenSaverRegistration, ChangesTheFileBehindALinkAndKeepsItsPermissions) {
    ScratchDirectoryVariable home("HOME");
    const auto dotfile = home.write("dotfiles-xscreensaver", "mode: one\n");
    std::filesystem::permissions(dotfile, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    std::filesystem::create_symlink("dotfiles-xscreensaver", home.root() / ".xscreensaver");

    ASSERT_EQ(registerWithXScreenSaver("/usr/bin/korlan-flow", registration({})), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(home.root() / ".xscreensaver"));
    EXPECT_EQ(contentsOf(dotfile), "mode: one\nprograms: \\\n  \"KORLAN Flow\"  /usr/bin/korlan-flow --root\n");
    EXPECT_EQ(std::filesystem::status(dotfile).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST(XScreenSaverRegistration, FailsWithoutChangingAFileItCannotUse) {
    {
        ScratchDirectoryVariable home("HOME");
        std::filesystem::create_directory(home.root() / ".xscreensaver");
        EXPECT_EQ(registerWithXScreenSaver(kProgram, registration({})), 1);
        EXPECT_TRUE(std::filesystem::is_directory(home.root() / ".xscreensaver"));
    }
    {
        ScratchDirectory scratch;
        ScopedEnvironmentVariable home("HOME", (scratch.root() / "gone").string());
        EXPECT_EQ(registerWithXScreenSaver(kProgram, registration({})), 1);
        EXPECT_FALSE(std::filesystem::exists(scratch.root() / "gone"));
    }
}
