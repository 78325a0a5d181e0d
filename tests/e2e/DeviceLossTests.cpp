// korlan-flow full screen when the GPU device, or the surface of its
// window, is lost under it: it starts its views again on what it can get,
// and the screen goes on moving.
#include "tests/e2e/HostProcess.h"
#include "tests/e2e/TestDisplay.h"
#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>

using namespace std::chrono_literals;

namespace {

constexpr auto kStartTime = 30s;
constexpr auto kRecoveryTime = 10s;

const char* const kFaultLine = "presentation faults: lost";
const char* const kRestartLine = "starting the views again";

bool says(const HostProcess& host, const char* text) {
    return host.errorOutput().find(text) != std::string::npos;
}

} // namespace

TEST(DeviceLoss, TheScreenGoesOnMovingAfterTheDeviceOrTheSurfaceIsLost) {
    struct Case {
        const char* loss;
        const char* fault;
    };
    // Late enough that the saver has shown its first frames.
    const Case cases[] = {
        {"device", "KORLAN_FLOW_FAULT_LOSE_DEVICE_AT=90"},
        {"surface", "KORLAN_FLOW_FAULT_LOSE_SURFACE_AT=90"},
    };
    for (const auto& c : cases) {
        const XvfbServer server({"320x180x24"});
        TestDisplay screen(server.display());
        ASSERT_TRUE(screen.isOpen()) << "no Xvfb for the test";
        HostProcess host({"--software"},
                         {"DISPLAY=" + server.display(), "LD_PRELOAD=" KORLAN_FLOW_PRESENTATION_FAULTS, c.fault,
                          // A sanitized host starts with the fault library
                          // ahead of the sanitizer's.
                          "ASAN_OPTIONS=detect_leaks=0:verify_asan_link_order=0"});
        ASSERT_TRUE(eventually([&] { return says(host, kFaultLine); }, kStartTime)) << c.loss << host.errorOutput();
        const auto lost = std::chrono::steady_clock::now();
        const Pixels atLoss = screen.pixelsOf(screen.rootWindow());

        EXPECT_TRUE(eventually(
            [&] {
                const Pixels now = screen.pixelsOf(screen.rootWindow());
                return now != atLoss && showsThePattern(now) && showsTheLogoInTheUpperLeft(now);
            },
            kRecoveryTime))
            << c.loss << ": the screen froze: " << host.errorOutput();
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                                 lost);
        std::printf("%s lost: the screen moved again within %lld ms\n", c.loss, static_cast<long long>(took.count()));
        EXPECT_TRUE(says(host, kRestartLine)) << c.loss << ": " << host.errorOutput();
        // Frames come for long after the restart, not a last few.
        const Pixels afterRestart = screen.pixelsOf(screen.rootWindow());
        EXPECT_TRUE(eventually([&] { return screen.pixelsOf(screen.rootWindow()) != afterRestart; }, kRecoveryTime))
            << c.loss;

        host.signal(SIGTERM);
        const auto status = host.waitForExit(kRecoveryTime);
        ASSERT_TRUE(status.has_value()) << c.loss << ": still running after SIGTERM";
        EXPECT_EQ(*status, 0) << c.loss << ": " << host.errorOutput();
        EXPECT_EQ(validationMessagesIn(host.errorOutput()), "") << c.loss;
    }
}
