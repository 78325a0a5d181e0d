#pragma once

#include "tests/support/ScratchDirectoryVariable.h"

#include "platform/foundation/Bundle.h"

#include <filesystem>
#include <memory>
#include <string>

// A bundle directory made for one test, removed with the object: the built
// bundle's pieces, or resources the test writes itself.
class TestBundle {
public:
    TestBundle();

    // A copy of one resource of the bundle as built.
    TestBundle& withBuiltResource(const std::string& fileName);
    TestBundle& withResource(const std::string& fileName, const std::string& contents);

    const std::filesystem::path& path() const { return path_; }
    // Opened afresh, so it sees the resources written so far.
    std::shared_ptr<foundation::Bundle> bundle() const;

private:
    ScratchDirectory scratch_;
    std::filesystem::path path_;
};
