// korlan-flow --register-xscreensaver on a scratch home: the option, the
// file it writes, links and permissions kept, and the files it cannot use.
#include "host/HostOptions.h"
#include "host/XScreenSaverRegistration.h"

#include "tests/support/ScratchDirectoryVariable.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <functional>
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
        EXPECT_EQ(problem, "--register-xscreensaver takes no command, --window-id, --root, --window or --background");
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
    struct Case {
        const char* shape;
        bool symbolic;
    };
    for (const auto& c : {Case{"a symbolic link", true}, Case{"a hard link", false}}) {
        ScratchDirectoryVariable home("HOME");
        const auto dotfile = home.write("dotfiles-xscreensaver", "mode: one\n");
        std::filesystem::permissions(dotfile, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
        const auto settings = home.root() / ".xscreensaver";
        if (c.symbolic) std::filesystem::create_symlink("dotfiles-xscreensaver", settings);
        else std::filesystem::create_hard_link(dotfile, settings);

        ASSERT_EQ(registerWithXScreenSaver("/usr/bin/korlan-flow", registration({})), 0) << c.shape;
        EXPECT_EQ(std::filesystem::is_symlink(settings), c.symbolic) << c.shape;
        EXPECT_TRUE(std::filesystem::equivalent(settings, dotfile)) << c.shape;
        EXPECT_EQ(contentsOf(dotfile), "mode: one\nprograms: \\\n  \"KORLAN Flow\"  /usr/bin/korlan-flow --root\n")
            << c.shape;
        EXPECT_EQ(std::filesystem::status(dotfile).permissions(),
                  std::filesystem::perms::owner_read | std::filesystem::perms::owner_write)
            << c.shape;
    }
}

TEST(XScreenSaverRegistration, RefusesAPathTheListCannotHoldAndAFileTheUserProtected) {
    using std::filesystem::perms;
    ScratchDirectoryVariable home("HOME");
    const auto settings = home.root() / ".xscreensaver";
    const auto makeReadOnly = [](const std::filesystem::path& file) {
        std::filesystem::permissions(file, perms::owner_read | perms::group_read | perms::others_read);
        return true;
    };
    // Only root can give a file away; other users skip that case.
    const auto giveAway = [](const std::filesystem::path& file) { return chown(file.c_str(), geteuid() + 1, -1) == 0; };
    const auto keep = [](const std::filesystem::path&) { return true; };
    struct Case {
        std::filesystem::path program;
        std::function<bool(const std::filesystem::path&)> protect;
        std::string message;
    };
    for (const auto& c : {
             Case{"/opt/kf\n/bin/korlan-flow", keep, "/opt/kf\\x0a/bin/korlan-flow holds a control character"},
             Case{"/opt/\x1b[2J/korlan-flow", keep, "/opt/\\x1b[2J/korlan-flow holds a control character"},
             Case{kProgram, makeReadOnly, settings.string() + " is read-only; not changed"},
             Case{kProgram, giveAway, settings.string() + " belongs to another user; not changed"},
         }) {
        home.clear();
        const std::string before = "programs: \\\n  maze --root\n";
        home.write(".xscreensaver", before);
        if (!c.protect(settings)) continue;
        const ino_t inode = inodeOf(settings);

        testing::internal::CaptureStderr();
        EXPECT_EQ(registerWithXScreenSaver(c.program, registration({})), 1) << c.message;
        const std::string error = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(error.starts_with("korlan-flow: ") && error.find(c.message) != std::string::npos) << error;
        EXPECT_EQ(contentsOf(settings), before) << c.message;
        EXPECT_EQ(inodeOf(settings), inode) << c.message;
    }
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
