#include "platform/foundation/ScreenSaverDefaults.h"

#include "tests/support/ScratchConfigHome.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <clocale>
#include <cmath>
#include <fstream>
#include <limits>

using foundation::ScreenSaverDefaults;

namespace {

constexpr const char* kModule = "test.module";

std::shared_ptr<ScreenSaverDefaults> openWithDefault(float registered = 0.5f) {
    auto defaults = ScreenSaverDefaults::defaultsForModuleWithName(kModule);
    defaults->registerDefaults({{"Number", registered}});
    return defaults;
}

ino_t inodeOf(const std::filesystem::path& path) {
    struct stat status{};
    return stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
}

} // namespace

TEST(ScreenSaverDefaults, MissingOrEmptyFilesAnswerWithTheRegisteredDefaults) {
    ScratchConfigHome scratch;
    EXPECT_EQ(openWithDefault()->floatForKey("Number"), 0.5f);
    EXPECT_EQ(openWithDefault()->floatForKey("Unregistered"), 0.0f);
    scratch.writeSettingsFile(kModule, "");
    EXPECT_EQ(openWithDefault()->floatForKey("Number"), 0.5f);
    scratch.writeSettingsFile(kModule, "[other.module]\nNumber=3\n");
    EXPECT_EQ(openWithDefault()->floatForKey("Number"), 0.5f);
}

TEST(ScreenSaverDefaults, ReadsNumbersAndNumericTextAndZeroForAnythingElse) {
    ScratchConfigHome scratch;
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* text;
        float expected;
    };
    for (const Case c : {Case{"1.25", 1.25f}, Case{" 3 ", 3.0f}, Case{"-2e-1", -0.2f}, Case{"inf", inf},
                         Case{"-inf", -inf}, Case{"fast", 0.0f}, Case{"1.5x", 0.0f}, Case{"1,5", 0.0f},
                         Case{"", 0.0f}, Case{"1e999", inf}}) {
        scratch.writeSettingsFile(kModule, std::string("[test.module]\nNumber=") + c.text + "\n");
        EXPECT_EQ(openWithDefault()->floatForKey("Number"), c.expected) << '"' << c.text << '"';
    }
    scratch.writeSettingsFile(kModule, "[test.module]\nNumber=nan\n");
    EXPECT_TRUE(std::isnan(openWithDefault()->floatForKey("Number")));
}

TEST(ScreenSaverDefaults, FilesThatCannotBeReadOrParsedReadZeroEvenForRegisteredKeys) {
    ScratchConfigHome scratch;
    for (const char* contents : {"garbage without a group\n", "[test.module]\nNumb", "\xff\xfe\x00\x01[["}) {
        scratch.writeSettingsFile(kModule, contents);
        EXPECT_EQ(openWithDefault()->floatForKey("Number"), 0.0f) << contents;
    }
    std::filesystem::remove(scratch.settingsFile(kModule));
    std::filesystem::create_directory(scratch.settingsFile(kModule));
    EXPECT_EQ(openWithDefault()->floatForKey("Number"), 0.0f);
}

TEST(ScreenSaverDefaults, WritesOnlyValuesSetAndNeverTheRegisteredDefaults) {
    ScratchConfigHome scratch;
    auto defaults = ScreenSaverDefaults::defaultsForModuleWithName(kModule);
    defaults->registerDefaults({{"Number", 0.5f}, {"Other", 2.0f}});
    defaults->setFloat(0.8f, "Number");
    EXPECT_EQ(defaults->floatForKey("Number"), 0.8f);
    EXPECT_TRUE(defaults->synchronize());
    EXPECT_EQ(scratch.readSettingsFile(kModule), "[test.module]\nNumber=0.8\n");
    EXPECT_EQ(defaults->filePath(), scratch.settingsFile(kModule));
}

TEST(ScreenSaverDefaults, SynchronizeKeepsKeysThatAnotherWriterStoredMeanwhile) {
    ScratchConfigHome scratch;
    auto first = openWithDefault();
    auto second = openWithDefault();
    first->setFloat(1.0f, "Speed");
    ASSERT_TRUE(first->synchronize());
    second->setFloat(2.0f, "Depth");
    ASSERT_TRUE(second->synchronize());

    auto reopened = openWithDefault();
    EXPECT_EQ(reopened->floatForKey("Speed"), 1.0f);
    EXPECT_EQ(reopened->floatForKey("Depth"), 2.0f);
}

TEST(ScreenSaverDefaults, ReplacesTheFileButNeverTheLockFile) {
    ScratchConfigHome scratch;
    auto defaults = openWithDefault();
    defaults->setFloat(1.0f, "Number");
    ASSERT_TRUE(defaults->synchronize());
    const auto lockPath = scratch.settingsFile(kModule).string() + ".lock";
    const ino_t lockBefore = inodeOf(lockPath);
    const ino_t fileBefore = inodeOf(scratch.settingsFile(kModule));
    defaults->setFloat(2.0f, "Number");
    ASSERT_TRUE(defaults->synchronize());
    EXPECT_NE(lockBefore, 0u);
    EXPECT_EQ(inodeOf(lockPath), lockBefore);
    EXPECT_NE(inodeOf(scratch.settingsFile(kModule)), fileBefore);
}

TEST(ScreenSaverDefaults, AnUnparseableFileIsReplacedByAValidOne) {
    ScratchConfigHome scratch;
    scratch.writeSettingsFile(kModule, "not a key file");
    auto defaults = openWithDefault();
    defaults->setFloat(1.5f, "Number");
    EXPECT_TRUE(defaults->synchronize());
    EXPECT_EQ(openWithDefault()->floatForKey("Number"), 1.5f);
}

TEST(ScreenSaverDefaults, WritesThatCannotHappenFailQuietlyAndLeaveWhatWasThere) {
    ScratchConfigHome scratch;
    // A directory where the file belongs cannot be replaced.
    std::filesystem::create_directories(scratch.settingsFile(kModule));
    auto blocked = openWithDefault();
    blocked->setFloat(1.0f, "Number");
    EXPECT_FALSE(blocked->synchronize());
    EXPECT_TRUE(std::filesystem::is_directory(scratch.settingsFile(kModule)));
    EXPECT_TRUE(std::filesystem::is_empty(scratch.settingsFile(kModule)));

    // A configuration home that is a file gives no directory to write into.
    const auto file = scratch.root() / "plain-file";
    std::ofstream(file) << "keep me";
    setenv("XDG_CONFIG_HOME", file.c_str(), 1);
    auto unwritable = openWithDefault();
    EXPECT_EQ(unwritable->floatForKey("Number"), 0.0f);
    unwritable->setFloat(1.0f, "Number");
    EXPECT_FALSE(unwritable->synchronize());
    std::ifstream kept(file);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "keep me");
}

TEST(ScreenSaverDefaults, ModuleNamesThatWouldLeaveTheSettingsDirectoryOpenNothing) {
    ScratchConfigHome scratch;
    for (const char* name : {"", "../escape", ".hidden", "a/b"}) {
        auto defaults = ScreenSaverDefaults::defaultsForModuleWithName(name);
        defaults->registerDefaults({{"Number", 0.5f}});
        EXPECT_EQ(defaults->floatForKey("Number"), 0.0f) << name;
        defaults->setFloat(1.0f, "Number");
        EXPECT_FALSE(defaults->synchronize()) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(scratch.root() / "escape.ini"));
    EXPECT_FALSE(std::filesystem::exists(scratch.root() / "korlan-flow" / "a"));
}

TEST(ScreenSaverDefaults, NumbersReadAndWriteTheSameUnderACommaLocale) {
    ScratchConfigHome scratch;
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "scripts/install-deps generates this locale";
    auto defaults = openWithDefault();
    defaults->setFloat(0.8f, "Number");
    defaults->setFloat(std::nanf(""), "Missing");
    defaults->setFloat(-std::numeric_limits<float>::infinity(), "Low");
    defaults->setFloat(1.0e-7f, "Tiny");
    ASSERT_TRUE(defaults->synchronize());
    const std::string written = scratch.readSettingsFile(kModule);
    auto reopened = openWithDefault();
    const float number = reopened->floatForKey("Number");
    const bool missingIsNaN = std::isnan(reopened->floatForKey("Missing"));
    const float low = reopened->floatForKey("Low");
    const float tiny = reopened->floatForKey("Tiny");
    std::setlocale(LC_ALL, previous.c_str());

    EXPECT_EQ(written, "[test.module]\nLow=-inf\nMissing=nan\nNumber=0.8\nTiny=1e-07\n");
    EXPECT_EQ(number, 0.8f);
    EXPECT_TRUE(missingIsNaN);
    EXPECT_EQ(low, -std::numeric_limits<float>::infinity());
    EXPECT_EQ(tiny, 1.0e-7f);
}
