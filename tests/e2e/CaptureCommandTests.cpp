// korlan-flow capture, run as a user would run it: arguments in, a line and
// an exit status out.
#include "platform/graphics/PNGEncoding.h"

#include <gtest/gtest.h>
#include <glib.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

namespace {

struct Outcome {
    int status = -1;
    std::string out, err;
};

Outcome korlanFlow(std::vector<std::string> arguments, std::vector<std::string> environment = {}) {
    arguments.insert(arguments.begin(), KORLAN_FLOW_HOST_PATH);
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    gchar** envp = g_get_environ();
    // The CPU driver is unloaded before a sanitized host exits, and what it
    // keeps to itself would be reported as leaks of no library. The same
    // paths are checked for leaks in process by the renderer's tests.
    envp = g_environ_setenv(envp, "ASAN_OPTIONS", "detect_leaks=0", TRUE);
    for (const auto& entry : environment) {
        const auto equals = entry.find('=');
        envp = g_environ_setenv(envp, entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str(), TRUE);
    }
    Outcome run;
    gchar *out = nullptr, *err = nullptr;
    gint waitStatus = 0;
    GError* failure = nullptr;
    if (g_spawn_sync(nullptr, argv.data(), envp, G_SPAWN_DEFAULT, nullptr, nullptr, &out, &err, &waitStatus,
                     &failure)) {
        run.status = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 128 + WTERMSIG(waitStatus);
        run.out = out;
        run.err = err;
    } else {
        ADD_FAILURE() << failure->message;
        g_error_free(failure);
    }
    g_free(out);
    g_free(err);
    g_strfreev(envp);
    return run;
}

std::vector<std::string> small(std::vector<std::string> more = {}) {
    std::vector<std::string> arguments{"capture", "--software", "--width", "160", "--height", "90", "--seed", "7",
                                       "--speed", "1", "--intensity", "1", "--complexity", "1"};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
}

std::string checksumOf(const Outcome& run) {
    std::smatch match;
    const std::regex line("checksum=(0x[0-9a-f]{16}) occupied=([0-9]+) width=([0-9]+) height=([0-9]+)\n");
    if (!std::regex_match(run.out, match, line)) {
        ADD_FAILURE() << "unexpected output: " << run.out << run.err;
        return {};
    }
    return match[1];
}

} // namespace

TEST(CaptureCommand, PrintsOneLineAndTheSameChecksumForTheSameArguments) {
    const Outcome first = korlanFlow(small());
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(checksumOf(first), checksumOf(korlanFlow(small())));
    EXPECT_NE(first.out.find("width=160 height=90"), std::string::npos);
}

TEST(CaptureCommand, SeedTimeAndSettingsEachChangeTheFrame) {
    const std::string base = checksumOf(korlanFlow(small()));
    for (const auto& change : std::vector<std::vector<std::string>>{
             {"--seed", "8"}, {"--time", "12.5"}, {"--speed", "0.5", "--time", "3"}, {"--intensity", "0.5"},
             {"--complexity", "1.4"}}) {
        EXPECT_NE(checksumOf(korlanFlow(small(change))), base) << change[0];
    }
    // Settings outside their ranges are clamped as the store clamps them.
    EXPECT_EQ(checksumOf(korlanFlow(small({"--intensity", "9"}))),
              checksumOf(korlanFlow(small({"--intensity", "1.2"}))));
    // Time wraps at the period of the pattern.
    EXPECT_EQ(checksumOf(korlanFlow(small({"--time", "16389"}))), checksumOf(korlanFlow(small({"--time", "5"}))));
}

TEST(CaptureCommand, WritesThePNGItReports) {
    const std::string path = testing::TempDir() + "/korlan-flow-capture.png";
    const Outcome run = korlanFlow(small({"--png", path}));
    ASSERT_EQ(run.status, 0) << run.err;
    std::ifstream file(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    const auto image = graphics::decodePNG(bytes);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width(), 160u);
    EXPECT_EQ(image->height(), 90u);
}

TEST(CaptureCommand, BadArgumentsPrintTheUsageAndExitWithTwo) {
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"capture", "--frobnicate"},
             {"capture", "--width"},
             {"capture", "--width", "12px"},
             {"capture", "--width", "0"},
             {"capture", "--height", "16385"},
             {"capture", "--scale", "0"},
             {"capture", "--scale", "-2"},
             {"capture", "--scale", "nan"},
             {"capture", "--speed", "nan"},
             {"capture", "--speed", "fast"},
             {"capture", "--seed", "0"},
             {"capture", "--seed", "1000001"},
             {"capture", "--time", "inf"},
             {"capture", "stray"},
             {"paint"},
             {},
         }) {
        const Outcome run = korlanFlow(arguments);
        EXPECT_EQ(run.status, 2) << (arguments.size() > 1 ? arguments[1] : "");
        EXPECT_NE(run.err.find("Usage: korlan-flow"), std::string::npos);
        EXPECT_TRUE(run.out.empty());
    }
    const Outcome help = korlanFlow({"capture", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--seed N"), std::string::npos);
}

TEST(CaptureCommand, WithoutAGPUItSaysSoInGermanAndExitsWithOne) {
    const Outcome run = korlanFlow(small(), {"VK_ICD_FILENAMES=/nonexistent", "VK_DRIVER_FILES=/nonexistent"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "korlan-flow: Metal-Gerät fehlt.\n");
    EXPECT_TRUE(run.out.empty());
}
