// Two full-screen savers on one X server, as an idle manager starts a new
// one just after the user dismissed the last: whatever order they start and
// end in, and however the first one ends, the displays get back the ramps
// the user had.
#include "tests/e2e/HostProcess.h"
#include "tests/e2e/TestDisplay.h"
#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <functional>
#include <memory>
#include <thread>

using namespace std::chrono_literals;

namespace {

constexpr auto kStartTime = 30s;
constexpr auto kEndTime = 10s;

// Linear ramps to the tops of red, green and blue, as a user sets them
// (0.9 : 0.8 : 0.7 here): ramps that no fade's step hits by chance.
std::vector<unsigned short> linearRamps(std::size_t entries, std::array<double, 3> tops = {0.9, 0.8, 0.7}) {
    std::vector<unsigned short> ramp;
    for (const double top : tops) {
        for (std::size_t entry = 0; entry < entries; ++entry) {
            ramp.push_back(static_cast<unsigned short>(top * 65535.0 * double(entry) / double(entries - 1)));
        }
    }
    return ramp;
}

class GammaSharing : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(screen.isOpen()) << "no Xvfb for the test";
        users = linearRamps(screen.gammaRamp().size() / 3);
        screen.setGammaRamp(users);
        ASSERT_EQ(screen.gammaRamp(), users);
    }

    std::unique_ptr<HostProcess> startSaver() {
        return std::make_unique<HostProcess>(std::vector<std::string>{"--software"},
                                             std::vector<std::string>{"DISPLAY=" + server.display()});
    }
    bool dimmed() { return screen.gammaRamp().back() < users.back(); }
    void waitUntilDimmed() { ASSERT_TRUE(eventually([&] { return dimmed(); }, kEndTime)) << "no fade"; }
    void waitUntilShown(const HostProcess& saver) {
        ASSERT_TRUE(eventually([&] { return showsThePattern(screen.pixelsOf(screen.rootWindow())); }, kStartTime))
            << saver.errorOutput();
    }
    static void end(HostProcess& saver, int signalNumber, int expectedStatus) {
        saver.signal(signalNumber);
        const auto status = saver.waitForExit(kEndTime);
        ASSERT_TRUE(status.has_value()) << "still running";
        EXPECT_EQ(*status, expectedStatus) << saver.errorOutput();
    }

    XvfbServer server{{"320x180x24"}};
    TestDisplay screen{server.display()};
    std::vector<unsigned short> users;
};

} // namespace

TEST_F(GammaSharing, TheUsersRampsComeBackWhicheverSaverEndsFirst) {
    for (const bool firstEndsFirst : {true, false}) {
        auto first = startSaver();
        // The second comes while the first still fades the displays out.
        waitUntilDimmed();
        auto second = startSaver();
        waitUntilShown(*second);
        std::this_thread::sleep_for(1s);

        end(firstEndsFirst ? *first : *second, SIGTERM, 0);
        end(firstEndsFirst ? *second : *first, SIGTERM, 0);
        EXPECT_EQ(screen.gammaRamp(), users) << (firstEndsFirst ? "first ended first" : "second ended first");
    }
}

TEST_F(GammaSharing, ASaverKilledWhileTheDisplaysAreDimLeavesTheirRampsToTheNext) {
    for (const bool nextStartsBeforeTheKill : {true, false}) {
        auto first = startSaver();
        waitUntilDimmed();
        std::unique_ptr<HostProcess> next;
        if (nextStartsBeforeTheKill) next = startSaver();
        end(*first, SIGKILL, 128 + SIGKILL);
        if (!next) {
            ASSERT_TRUE(dimmed()) << "the killed saver left nothing to mend";
            next = startSaver();
        }
        waitUntilShown(*next);
        end(*next, SIGTERM, 0);
        EXPECT_EQ(screen.gammaRamp(), users) << (nextStartsBeforeTheKill ? "started before" : "started after");
    }
}

// Ramps the user set after a saver was killed are theirs: the next saver
// gives back those, not the ones the dead saver kept.
TEST_F(GammaSharing, RampsSetAfterAKilledSaverAreTheOnesGivenBack) {
    auto killed = startSaver();
    waitUntilDimmed();
    end(*killed, SIGKILL, 128 + SIGKILL);
    const auto newer = linearRamps(users.size() / 3, {1.0, 0.95, 0.6});
    screen.setGammaRamp(newer);

    auto next = startSaver();
    waitUntilShown(*next);
    end(*next, SIGTERM, 0);
    EXPECT_EQ(screen.gammaRamp(), newer);
}
