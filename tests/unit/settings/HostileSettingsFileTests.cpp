// Settings files as an unlucky or hostile user leaves them: what loads from
// each, and what is left of it after a store. The user's data is never
// lost, and nothing blocks.
#include "tests/support/HostileFiles.h"
#include "tests/support/LoadedModule.h"
#include "tests/support/ScratchConfigHome.h"
#include "tests/support/WithoutPermissionOverride.h"

#include <gtest/gtest.h>

#include <sys/file.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>
#include <tuple>
#include <vector>
#include <algorithm>

namespace {

using Clock = std::chrono::steady_clock;

constexpr KORLANFlowConfiguration kMinimums{0.25f, 0.35f, 0.55f};
constexpr KORLANFlowConfiguration kStored{1.5f, 1.0f, 1.25f};
const std::string kValidContents = "[other.group]\nKept=yes\n\n[de.korlan.flow]\nFlowSpeed=0.5\nFlowIntensity=0.5\n"
                                   "FlowComplexity=1\n";
constexpr KORLANFlowConfiguration kValidValues{0.5f, 0.5f, 1.0f};

bool same(const KORLANFlowConfiguration& a, const KORLANFlowConfiguration& b) {
    return a.speed == b.speed && a.intensity == b.intensity && a.complexity == b.complexity;
}

std::string contentsOf(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

// What a store must not change about a file it leaves alone, without ever
// reading it (it may be a FIFO).
auto identityOf(const std::filesystem::path& path) {
    struct stat status{};
    lstat(path.c_str(), &status);
    return std::make_tuple(status.st_ino, status.st_mode, status.st_size, status.st_mtim.tv_sec,
                           status.st_mtim.tv_nsec);
}

std::vector<std::filesystem::path> setAsideFiles(const std::filesystem::path& file) {
    std::vector<std::filesystem::path> found;
    for (const auto& entry : std::filesystem::directory_iterator(file.parent_path())) {
        if (entry.path().filename().string().starts_with(file.filename().string() + ".unreadable-")) {
            found.push_back(entry.path());
        }
    }
    return found;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

void writeFile(const std::filesystem::path& path, const std::string& contents, unsigned mode = 0600) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << contents;
    chmod(path.c_str(), mode);
}

class HostileSettingsFile : public ::testing::Test {
protected:
    std::filesystem::path file() const { return scratch.settingsFile(module.bundleIdentifier); }

    // The store's log lines.
    std::vector<std::string> store(const KORLANFlowConfiguration& configuration) const {
        testing::internal::CaptureStderr();
        module.storeConfiguration(configuration);
        return linesOf(testing::internal::GetCapturedStderr());
    }

    const ModuleBundle& module = loadedModule();
    ScratchConfigHome scratch;
};

} // namespace

TEST_F(HostileSettingsFile, LoadsWhatItCanAndAStoreLosesNothing) {
    enum class AfterStore { Merged, SetAside, LeftAlone };
    struct Case {
        const char* what;
        std::function<void(const std::filesystem::path&)> make;
        KORLANFlowConfiguration loads;
        AfterStore afterStore;
    };
    const auto dotfiles = scratch.root() / "dotfiles" / "de.korlan.flow.ini";
    std::vector<Case> cases = {
        {"a UTF-8 byte-order mark", [](auto& path) { writeFile(path, "\xEF\xBB\xBF" + kValidContents); },
         kValidValues, AfterStore::Merged},
        {"a link into a dotfile directory",
         [&](auto& path) {
             writeFile(dotfiles, kValidContents, 0640);
             std::filesystem::create_symlink(dotfiles, path);
         },
         kValidValues, AfterStore::Merged},
        {"a line without =", [](auto& path) { writeFile(path, kValidContents + "FlowSpeed 3\n"); }, kMinimums,
         AfterStore::SetAside},
        {"binary garbage", [](auto& path) { writeFile(path, std::string("\x00\xff\x13[\x80=\n\x01", 9)); }, kMinimums,
         AfterStore::SetAside},
        {"more than a megabyte", [](auto& path) { writeFile(path, kValidContents + std::string(1 << 20, '#')); },
         kMinimums, AfterStore::SetAside},
        {"no permission to read", [](auto& path) { writeFile(path, kValidContents, 0); }, kMinimums,
         AfterStore::LeftAlone},
    };
    for (const auto& hostile : nonRegularFiles()) {
        cases.push_back({hostile.what, hostile.make, kMinimums, AfterStore::LeftAlone});
    }
    for (const auto& c : cases) {
        scratch.clear();
        std::filesystem::create_directories(file().parent_path());
        c.make(file());
        const std::string original = c.afterStore == AfterStore::SetAside ? contentsOf(file()) : "";
        const auto before = identityOf(file());
        // Root reads any file; a user does not.
        const WithoutPermissionOverride asAUser;

        EXPECT_TRUE(same(module.loadConfiguration(), c.loads)) << c.what;
        const auto log = store(kStored);
        const auto target = std::filesystem::canonical(file().parent_path()) / file().filename();
        switch (c.afterStore) {
        case AfterStore::Merged:
            EXPECT_TRUE(same(module.loadConfiguration(), kStored)) << c.what;
            EXPECT_NE(contentsOf(file()).find("[other.group]\nKept=yes\n"), std::string::npos) << c.what;
            EXPECT_TRUE(log.empty()) << c.what << ": " << log.front();
            break;
        case AfterStore::SetAside: {
            EXPECT_TRUE(same(module.loadConfiguration(), kStored)) << c.what;
            const auto aside = setAsideFiles(file());
            ASSERT_EQ(aside.size(), 1u) << c.what;
            EXPECT_EQ(contentsOf(aside.front()), original) << c.what;
            ASSERT_EQ(log.size(), 1u) << c.what;
            EXPECT_NE(log[0].find(target.string() + " "), std::string::npos) << log[0];
            EXPECT_NE(log[0].find(aside.front().string()), std::string::npos) << log[0];
            break;
        }
        case AfterStore::LeftAlone:
            EXPECT_EQ(identityOf(file()), before) << c.what;
            EXPECT_TRUE(same(module.loadConfiguration(), kMinimums)) << c.what;
            ASSERT_EQ(log.size(), 1u) << c.what;
            EXPECT_NE(log[0].find(file().string()), std::string::npos) << log[0];
            break;
        }
    }
}

TEST_F(HostileSettingsFile, ALinkedFileIsWrittenThroughKeepingTheLinkAndItsPermissions) {
    const auto target = scratch.root() / "dotfiles" / "flow.ini";
    writeFile(target, kValidContents, 0640);
    std::filesystem::create_directories(file().parent_path());
    std::filesystem::create_symlink("../dotfiles/flow.ini", file());
    store(kStored);
    EXPECT_TRUE(std::filesystem::is_symlink(file()));
    EXPECT_EQ(std::filesystem::read_symlink(file()), "../dotfiles/flow.ini");
    EXPECT_NE(contentsOf(target).find("FlowSpeed=1.5"), std::string::npos);
    EXPECT_EQ(std::filesystem::status(target).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read);
}

TEST_F(HostileSettingsFile, SettingAsideNeverOverwritesAnEarlierFile) {
    std::vector<std::string> garbage{"first = [", "second = ["};
    for (const auto& contents : garbage) {
        writeFile(file(), contents);
        store(kStored);
    }
    const auto aside = setAsideFiles(file());
    ASSERT_EQ(aside.size(), 2u);
    std::vector<std::string> kept{contentsOf(aside[0]), contentsOf(aside[1])};
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(kept, garbage);
}

TEST_F(HostileSettingsFile, AStoreRemovesOnlyItsOwnAbandonedTemporaryFiles) {
    const auto directory = file().parent_path();
    std::filesystem::create_directories(directory);
    const auto makeFile = [&](const std::string& name, std::chrono::minutes age) {
        writeFile(directory / name, "partial");
        const auto when = std::filesystem::file_time_type::clock::now() - age;
        std::filesystem::last_write_time(directory / name, when);
    };
    const std::string name = file().filename();
    makeFile(name + ".Ab3xQ9", std::chrono::minutes(5));   // a write killed minutes ago
    makeFile(name + ".Zz81kP", std::chrono::minutes(0));   // a write under way
    makeFile(name + ".Q7w2Er", std::chrono::minutes(5));   // another user's
    chown((directory / (name + ".Q7w2Er")).c_str(), 65534, 65534);
    makeFile(name + ".backup", std::chrono::minutes(5));   // a word: the user's
    makeFile(name + ".old-copy", std::chrono::minutes(5)); // the user's
    makeFile("other.ini.Ab3xQ9", std::chrono::minutes(5)); // another file's

    store(kStored);
    EXPECT_FALSE(std::filesystem::exists(directory / (name + ".Ab3xQ9")));
    for (const auto& kept : {name + ".Zz81kP", name + ".backup", name + ".old-copy", std::string("other.ini.Ab3xQ9")}) {
        EXPECT_TRUE(std::filesystem::exists(directory / kept)) << kept;
    }
    if (getuid() == 0) {
        EXPECT_TRUE(std::filesystem::exists(directory / (name + ".Q7w2Er")));
    }
}

TEST_F(HostileSettingsFile, AStoreGivesUpOnAStuckLockWhileLoadsNeverWait) {
    store(kStored);
    const auto lockPath = file().string() + ".lock";
    // A second open file description: flock treats it as another process.
    const int stuck = open(lockPath.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_EQ(flock(stuck, LOCK_EX), 0);

    const auto loadStart = Clock::now();
    EXPECT_TRUE(same(module.loadConfiguration(), kStored));
    EXPECT_LT(Clock::now() - loadStart, std::chrono::milliseconds(500));

    const auto storeStart = Clock::now();
    const auto log = store(kMinimums);
    const auto waited = Clock::now() - storeStart;
    EXPECT_GE(waited, std::chrono::milliseconds(1500));
    EXPECT_LT(waited, std::chrono::milliseconds(4000));
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find(lockPath), std::string::npos) << log[0];
    EXPECT_TRUE(same(module.loadConfiguration(), kStored));
    close(stuck);
}

TEST_F(HostileSettingsFile, AStoreWaitsOutABriefLock) {
    store(kMinimums);
    const int brief = open((file().string() + ".lock").c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_EQ(flock(brief, LOCK_EX), 0);
    std::thread release([brief] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        close(brief);
    });
    const auto log = store(kStored);
    release.join();
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(same(module.loadConfiguration(), kStored));
}
