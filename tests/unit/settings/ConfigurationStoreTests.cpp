#include "settings/KORLANFlowSettings.h"

#include "platform/foundation/NotificationCenter.h"
#include "tests/support/LoadedModule.h"
#include "tests/support/ScratchConfigHome.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <vector>

using foundation::NotificationCenter;

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

void expectConfiguration(const KORLANFlowConfiguration& actual, float speed, float intensity, float complexity) {
    EXPECT_EQ(actual.speed, speed);
    EXPECT_EQ(actual.intensity, intensity);
    EXPECT_EQ(actual.complexity, complexity);
}

// Counts announcements and what a view would load while handling one.
class AnnouncementObserver {
public:
    explicit AnnouncementObserver(const ModuleBundle& module)
        : id_(NotificationCenter::defaultCenter().addObserverForName(
              module.bundleIdentifier + std::string(".SettingsDidChange"), nullptr,
              [this, &module](const foundation::Notification& n) {
                  EXPECT_EQ(n.object, nullptr);
                  loadedDuringAnnouncement.push_back(module.loadConfiguration());
              })) {}
    ~AnnouncementObserver() { NotificationCenter::defaultCenter().removeObserver(id_); }

    std::vector<KORLANFlowConfiguration> loadedDuringAnnouncement;

private:
    NotificationCenter::ObserverId id_;
};

class ConfigurationStore : public ::testing::Test {
protected:
    const ModuleBundle& module = loadedModule();
    ScratchConfigHome scratch;

    void storeText(const std::string& keyValues) {
        scratch.writeSettingsFile(module.bundleIdentifier, "[" + std::string(module.bundleIdentifier) + "]\n" + keyValues);
    }
};

} // namespace

TEST(ConfigurationClamp, KeepsEveryFieldInItsRangeWithNaNGoingToTheMinimum) {
    for (const auto& s : kKORLANFlowSettings) {
        struct Case {
            float value, expected;
        };
        for (const Case c : {Case{std::nanf(""), s.minimum}, Case{-kInf, s.minimum}, Case{kInf, s.maximum},
                             Case{s.minimum, s.minimum}, Case{s.maximum, s.maximum},
                             Case{std::nextafter(s.maximum, kInf), s.maximum},
                             Case{std::nextafter(s.minimum, -kInf), s.minimum}, Case{s.defaultValue, s.defaultValue},
                             Case{-0.0f, s.minimum}}) {
            EXPECT_EQ(KORLANFlowClampSetting(c.value, s), c.expected) << s.key << " " << c.value;
        }
        EXPECT_LT(s.minimum, s.defaultValue);
        EXPECT_LT(s.defaultValue, s.maximum);
    }
}

TEST_F(ConfigurationStore, NamesTheModuleAndItsAnnouncementAfterTheBundle) {
    EXPECT_STREQ(module.bundleIdentifier, module.bundle->bundleIdentifier().c_str());
    const auto* notification =
        static_cast<const char*>(module.bundle->symbol("KORLANFlowSettingsDidChangeNotification"));
    ASSERT_NE(notification, nullptr);
    EXPECT_EQ(std::string(notification), std::string(module.bundleIdentifier) + ".SettingsDidChange");
}

TEST_F(ConfigurationStore, LoadsTheDefaultsWhenNothingIsStored) {
    expectConfiguration(module.loadConfiguration(), 0.8f, 0.88f, 1.0f);
    EXPECT_FALSE(std::filesystem::exists(scratch.settingsFile(module.bundleIdentifier)));
}

TEST_F(ConfigurationStore, LoadsStoredValuesClampedToTheirRanges) {
    struct Case {
        const char* stored;
        float speed, intensity, complexity;
    };
    for (const Case c : {
             Case{"FlowSpeed=3.0\n", 1.75f, 0.88f, 1.0f},
             Case{"FlowSpeed=0.0\n", 0.25f, 0.88f, 1.0f},
             Case{"FlowSpeed=1.75\n", 1.75f, 0.88f, 1.0f},
             Case{"FlowIntensity=nan\n", 0.8f, 0.35f, 1.0f},
             Case{"FlowIntensity=inf\n", 0.8f, 1.2f, 1.0f},
             Case{"FlowIntensity=-inf\n", 0.8f, 0.35f, 1.0f},
             Case{"FlowComplexity=1.2\nFlowSpeed=0.5\n", 0.5f, 0.88f, 1.2f},
             // Neither a number nor numeric text reads 0.0, lifted to the minimum, not the default.
             Case{"FlowSpeed=schnell\nFlowComplexity=\n", 0.25f, 0.88f, 0.55f},
         }) {
        storeText(c.stored);
        expectConfiguration(module.loadConfiguration(), c.speed, c.intensity, c.complexity);
    }
}

TEST_F(ConfigurationStore, AStoreThatCannotBeReadLoadsTheMinimums) {
    scratch.writeSettingsFile(module.bundleIdentifier, "\x01garbage[");
    expectConfiguration(module.loadConfiguration(), 0.25f, 0.35f, 0.55f);
    storeText("FlowSpeed=1.0\nFlowIntens"); // cut off mid-write by something else
    expectConfiguration(module.loadConfiguration(), 0.25f, 0.35f, 0.55f);
}

TEST_F(ConfigurationStore, StoringClampsWritesAndThenAnnouncesOnce) {
    AnnouncementObserver observer(module);
    module.storeConfiguration({2.0f, 0.1f, std::nanf("")});
    ASSERT_EQ(observer.loadedDuringAnnouncement.size(), 1u);
    // The announcement comes after the flush: observers read the new values.
    expectConfiguration(observer.loadedDuringAnnouncement[0], 1.75f, 0.35f, 0.55f);
    expectConfiguration(module.loadConfiguration(), 1.75f, 0.35f, 0.55f);
    EXPECT_EQ(scratch.readSettingsFile(module.bundleIdentifier),
              "[" + std::string(module.bundleIdentifier) + "]\nFlowComplexity=0.55\nFlowIntensity=0.35\nFlowSpeed=1.75\n");
}

TEST_F(ConfigurationStore, StoringTheSameValuesAgainStillAnnounces) {
    AnnouncementObserver observer(module);
    module.storeConfiguration({1.0f, 1.0f, 1.0f});
    module.storeConfiguration({1.0f, 1.0f, 1.0f});
    EXPECT_EQ(observer.loadedDuringAnnouncement.size(), 2u);
}

TEST_F(ConfigurationStore, OneFieldOutOfRangeLeavesTheOthersAsGiven) {
    module.storeConfiguration({0.5f, 5.0f, 1.5f});
    expectConfiguration(module.loadConfiguration(), 0.5f, 1.2f, 1.5f);
    module.storeConfiguration({-1.0f, 0.9f, 0.6f});
    expectConfiguration(module.loadConfiguration(), 0.25f, 0.9f, 0.6f);
}

TEST_F(ConfigurationStore, TheDefaultRecordIgnoresTheStoreAndRoundTripsThroughIt) {
    module.storeConfiguration({1.5f, 0.4f, 0.6f});
    expectConfiguration(module.defaultConfiguration(), 0.8f, 0.88f, 1.0f);
    module.storeConfiguration(module.defaultConfiguration());
    expectConfiguration(module.loadConfiguration(), 0.8f, 0.88f, 1.0f);
}

TEST_F(ConfigurationStore, AnUnwritableStoreStillAnnouncesAndLeavesTheDiskAlone) {
    const auto blocker = scratch.root() / "not-a-directory";
    { std::ofstream(blocker) << "x"; }
    setenv("XDG_CONFIG_HOME", blocker.c_str(), 1);
    AnnouncementObserver observer(module);
    module.storeConfiguration({1.0f, 1.0f, 1.0f});
    ASSERT_EQ(observer.loadedDuringAnnouncement.size(), 1u);
    // What cannot be opened reads 0.0, which the clamp lifts to the minimums.
    expectConfiguration(observer.loadedDuringAnnouncement[0], 0.25f, 0.35f, 0.55f);
    EXPECT_EQ(std::filesystem::file_size(blocker), 1u);
}

TEST_F(ConfigurationStore, AnUnparseableFileIsRepairedByTheNextStore) {
    scratch.writeSettingsFile(module.bundleIdentifier, "\x01garbage[");
    module.storeConfiguration({1.25f, 1.0f, 0.75f});
    expectConfiguration(module.loadConfiguration(), 1.25f, 1.0f, 0.75f);
}
