// korlan-flow as a hack of a real XScreenSaver daemon: started with its
// window when the screen blanks, ended when it unblanks.
#include "tests/e2e/HostProcess.h"
#include "tests/e2e/TestDisplay.h"
#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace std::chrono_literals;

namespace {

constexpr auto kStartTime = 30s;
constexpr auto kEndTime = 10s;

// An ended process runs nothing, reaped or not: its exe cannot be read.
bool runsKorlanFlow(pid_t process) {
    std::error_code unreadable;
    const auto executable = std::filesystem::read_symlink("/proc/" + std::to_string(process) + "/exe", unreadable);
    return !unreadable && executable == std::filesystem::canonical(KORLAN_FLOW_HOST_PATH);
}

// The daemon's hacks that run our program: found among its descendants, as
// other tests and other users may run korlan-flow at the same time.
std::vector<pid_t> hostsRunBy(const HostProcess& daemon) {
    std::vector<pid_t> found;
    std::ranges::copy_if(daemon.descendants(), std::back_inserter(found), runsKorlanFlow);
    return found;
}

// A home for the daemon with its settings: our program as the one hack,
// its standard error kept beside them. The daemon refuses to start hacks
// as root, so a root test hands the home to nobody.
struct DaemonHome {
    std::filesystem::path path;
    std::filesystem::path hackLog;

    DaemonHome() {
        char name[] = "/tmp/korlan-flow-xscreensaver-XXXXXX";
        path = mkdtemp(name);
        hackLog = path / "hack.log";
        std::ofstream(path / ".xscreensaver") << "timeout: 0:30:00\nlock: False\nfade: False\nunfade: False\n"
                                                 "splash: False\nmode: one\nselected: 0\n"
                                                 "programs: "
                                              << KORLAN_FLOW_HOST_PATH << " --software -root 2>> " << hackLog.string()
                                              << "\n";
        std::ofstream(hackLog).flush();
        if (geteuid() != 0) return;
        const passwd* nobody = getpwnam("nobody");
        for (const auto& file : {path, path / ".xscreensaver", hackLog}) chown(file.c_str(), nobody->pw_uid, -1);
    }
    ~DaemonHome() { std::filesystem::remove_all(path); }

    std::string hackOutput() const {
        std::ifstream file(hackLog);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }
};

std::vector<std::string> asDaemonUser(std::vector<std::string> command, const DaemonHome& home,
                                      const std::string& display) {
    std::vector<std::string> prefix{"env", "DISPLAY=" + display, "HOME=" + home.path.string(),
                                    "ASAN_OPTIONS=detect_leaks=0", "KORLAN_FLOW_VALIDATION=1"};
    if (geteuid() == 0) prefix.insert(prefix.begin(), {"runuser", "-u", "nobody", "--"});
    command.insert(command.begin(), prefix.begin(), prefix.end());
    return command;
}

int runToEnd(std::vector<std::string> command) {
    const std::string program = command.front();
    command.erase(command.begin());
    HostProcess run(command, {}, program);
    return run.waitForExit(kEndTime).value_or(-1);
}

} // namespace

TEST(XScreenSaver, RunsKorlanFlowAsItsHackAndStopsIt) {
    if (geteuid() == 0 && runToEnd({"runuser", "-u", "nobody", "--", "test", "-x", KORLAN_FLOW_HOST_PATH}) != 0) {
        GTEST_SKIP() << "the daemon's user, nobody, cannot reach " << KORLAN_FLOW_HOST_PATH;
    }
    XvfbServer server;
    TestDisplay screen(server.display());
    ASSERT_TRUE(screen.isOpen());
    DaemonHome home;
    auto daemonCommand = asDaemonUser({"xscreensaver", "--no-splash"}, home, server.display());
    const std::string daemonProgram = daemonCommand.front();
    daemonCommand.erase(daemonCommand.begin());
    HostProcess daemon(daemonCommand, {}, daemonProgram);
    // The daemon answers once it has set itself up.
    ASSERT_TRUE(eventually(
        [&] { return runToEnd(asDaemonUser({"xscreensaver-command", "-version"}, home, server.display())) == 0; },
        kEndTime))
        << daemon.errorOutput();

    ASSERT_EQ(runToEnd(asDaemonUser({"xscreensaver-command", "-activate"}, home, server.display())), 0);
    std::vector<pid_t> hacks;
    EXPECT_TRUE(eventually([&] { return (hacks = hostsRunBy(daemon)).size() == 1; }, kStartTime))
        << home.hackOutput();
    EXPECT_TRUE(eventually([&] { return showsThePattern(screen.pixelsOf(screen.rootWindow())); }, kStartTime))
        << home.hackOutput() << daemon.errorOutput();

    ASSERT_EQ(runToEnd(asDaemonUser({"xscreensaver-command", "-deactivate"}, home, server.display())), 0);
    // A hack that outlived the daemon's process that started it would no
    // longer be among its descendants: the one found must itself have ended.
    EXPECT_TRUE(eventually([&] { return std::ranges::none_of(hacks, runsKorlanFlow) && hostsRunBy(daemon).empty(); },
                           kEndTime))
        << home.hackOutput();
    EXPECT_EQ(validationMessagesIn(home.hackOutput()), "");
    EXPECT_EQ(home.hackOutput().find("KORLAN Flow:"), std::string::npos) << home.hackOutput();
    runToEnd(asDaemonUser({"xscreensaver-command", "-exit"}, home, server.display()));
}
