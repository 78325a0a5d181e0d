#include "tests/support/TestBundle.h"

#include <fstream>

TestBundle::TestBundle() : path_(scratch_.root() / "Test.saver") {
    std::filesystem::create_directories(path_ / "Contents" / "Resources");
    std::ofstream(path_ / "Contents" / "Info.ini") << "[Bundle]\nIdentifier=test.korlan.flow\n";
}

TestBundle& TestBundle::withBuiltResource(const std::string& fileName) {
    const std::filesystem::path built = std::filesystem::path(KORLAN_FLOW_BUNDLE_PATH) / "Contents" / "Resources";
    std::filesystem::copy_file(built / fileName, path_ / "Contents" / "Resources" / fileName,
                               std::filesystem::copy_options::overwrite_existing);
    return *this;
}

TestBundle& TestBundle::withResource(const std::string& fileName, const std::string& contents) {
    std::ofstream(path_ / "Contents" / "Resources" / fileName, std::ios::binary | std::ios::trunc) << contents;
    return *this;
}

std::shared_ptr<foundation::Bundle> TestBundle::bundle() const { return foundation::Bundle::bundleWithPath(path_); }
