// Several processes share one settings file: stores from one are loaded by
// another, stores that overlap never tear the file, and a writer killed
// mid-store leaves a file that loads values that were stored.
#include "tests/support/LoadedModule.h"
#include "tests/support/ScratchConfigHome.h"
#include "tests/support/TiedProcess.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

namespace {

constexpr KORLANFlowConfiguration kFirst{0.3f, 0.4f, 0.6f};
constexpr KORLANFlowConfiguration kSecond{1.7f, 1.1f, 1.5f};

bool same(const KORLANFlowConfiguration& a, const KORLANFlowConfiguration& b) {
    return a.speed == b.speed && a.intensity == b.intensity && a.complexity == b.complexity;
}

std::string describe(const KORLANFlowConfiguration& c) {
    return "{" + std::to_string(c.speed) + ", " + std::to_string(c.intensity) + ", " + std::to_string(c.complexity) + "}";
}

// Runs work in a child process; its result is the child's exit status.
pid_t spawn(const std::function<int()>& work) {
    const pid_t child = forkTied(SIGKILL);
    if (child == 0) _exit(work());
    return child;
}

int exitStatusOf(pid_t child) {
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class ConcurrentStore : public ::testing::Test {
protected:
    const ModuleBundle& module = loadedModule();
    ScratchConfigHome scratch;
};

} // namespace

TEST_F(ConcurrentStore, ValuesStoredByOneProcessAreLoadedByAnother) {
    const pid_t writer = spawn([&] {
        module.storeConfiguration(kSecond);
        return 0;
    });
    ASSERT_EQ(exitStatusOf(writer), 0);
    EXPECT_TRUE(same(module.loadConfiguration(), kSecond)) << describe(module.loadConfiguration());

    module.storeConfiguration(kFirst);
    const pid_t reader = spawn([&] { return same(module.loadConfiguration(), kFirst) ? 0 : 1; });
    EXPECT_EQ(exitStatusOf(reader), 0);
}

TEST_F(ConcurrentStore, OverlappingStoresNeverTearTheFile) {
    constexpr int kStoresPerWriter = 60;
    const auto writer = [&](KORLANFlowConfiguration configuration) {
        return spawn([&module = module, configuration] {
            for (int i = 0; i < kStoresPerWriter; ++i) module.storeConfiguration(configuration);
            return 0;
        });
    };
    const pid_t first = writer(kFirst);
    const pid_t second = writer(kSecond);
    const auto defaults = module.defaultConfiguration();
    int loads = 0;
    // Each store writes all three keys in one replacement of the file, so a
    // load sees one writer's record whole, never a mix or a torn file.
    for (int status = 0; waitpid(first, &status, WNOHANG) == 0 || loads == 0; ++loads) {
        const auto loaded = module.loadConfiguration();
        ASSERT_TRUE(same(loaded, kFirst) || same(loaded, kSecond) || same(loaded, defaults)) << describe(loaded);
    }
    ASSERT_EQ(exitStatusOf(second), 0);
    const auto settled = module.loadConfiguration();
    EXPECT_TRUE(same(settled, kFirst) || same(settled, kSecond)) << describe(settled);
}

TEST_F(ConcurrentStore, AWriterKilledMidStoreLeavesValuesThatWereStored) {
    module.storeConfiguration(kFirst);
    for (int round = 0; round < 12; ++round) {
        const pid_t writer = spawn([&] {
            for (unsigned i = 0;; ++i) module.storeConfiguration(i % 2 ? kFirst : kSecond);
            return 0;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(3 + 7 * round));
        kill(writer, SIGKILL);
        int status = 0;
        waitpid(writer, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        const auto loaded = module.loadConfiguration();
        ASSERT_TRUE(same(loaded, kFirst) || same(loaded, kSecond)) << "round " << round << ": " << describe(loaded);
    }
}
