#include "platform/foundation/Bundle.h"

#include "tests/support/LoadedModule.h"
#include "tests/support/ScratchDirectoryVariable.h"

#include <gtest/gtest.h>

#include <fstream>

using foundation::Bundle;

TEST(Bundle, ReadsItsIdentifierAndFindsResourcesInsideItOnly) {
    ScratchDirectory scratch;
    const auto root = scratch.root() / "Test.saver";
    std::filesystem::create_directories(root / "Contents" / "Resources");
    std::ofstream(root / "Contents" / "Info.ini") << "[Bundle]\nIdentifier=test.bundle\nExecutable=libTest.so\n";
    std::ofstream(root / "Contents" / "Resources" / "logo.svg") << "<svg/>";
    std::ofstream(scratch.root() / "outside.svg") << "<svg/>";

    const auto bundle = Bundle::bundleWithPath(root);
    ASSERT_NE(bundle, nullptr);
    EXPECT_EQ(bundle->bundleIdentifier(), "test.bundle");
    EXPECT_EQ(bundle->executablePath(), root / "Contents" / "Linux" / "libTest.so");
    EXPECT_EQ(bundle->URLForResource("logo", "svg"), root / "Contents" / "Resources" / "logo.svg");
    EXPECT_TRUE(bundle->URLForResource("logo", "png").empty());
    EXPECT_TRUE(bundle->URLForResource("../../../outside", "svg").empty());
    std::string failure;
    EXPECT_FALSE(bundle->load(&failure));
    EXPECT_NE(failure.find("libTest.so"), std::string::npos);
}

TEST(Bundle, DirectoriesWithoutAnIdentifierAreNoBundles) {
    ScratchDirectory scratch;
    EXPECT_EQ(Bundle::bundleWithPath(scratch.root() / "absent.saver"), nullptr);
    std::filesystem::create_directories(scratch.root() / "empty.saver" / "Contents");
    std::ofstream(scratch.root() / "empty.saver" / "Contents" / "Info.ini") << "[Bundle]\nName=x\n";
    EXPECT_EQ(Bundle::bundleWithPath(scratch.root() / "empty.saver"), nullptr);
}

TEST(Bundle, TheModuleCodeBelongsToTheBuiltBundle) {
    const auto& module = loadedModule();
    const auto owner = Bundle::bundleForAddress(reinterpret_cast<const void*>(module.loadConfiguration));
    ASSERT_NE(owner, nullptr);
    EXPECT_EQ(owner->bundleIdentifier(), module.bundleIdentifier);
    EXPECT_NE(owner->symbol("KORLANFlowStoreConfiguration"), nullptr);
    // Internal functions stay inside the module.
    EXPECT_EQ(owner->symbol("KORLANFlowDefaults"), nullptr);
    EXPECT_EQ(owner->symbol("_Z18KORLANFlowDefaultsv"), nullptr);
}
