#include "platform/foundation/RegularFile.h"

#include "tests/support/HostileFiles.h"
#include "tests/support/ScratchDirectoryVariable.h"
#include "tests/support/WithoutPermissionOverride.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <functional>
#include <vector>

using foundation::FileReadFailure;
using foundation::readRegularFile;

namespace {

constexpr std::size_t kLimit = 64;

} // namespace

// Each hostile stand-in for a file fails at once, whatever it would give a
// reader that waited or read on.
TEST(RegularFile, ReadsOnlyRegularFilesWithinTheLimit) {
    ScratchDirectory scratch;
    const auto root = scratch.root();
    struct Case {
        const char* what;
        std::function<std::filesystem::path()> make;
        FileReadFailure failure;
        std::size_t size;
    };
    std::vector<Case> cases = {
        {"a file at the limit", [&] { return scratch.write("full", std::string(kLimit, 'x')); }, FileReadFailure::None,
         kLimit},
        {"an empty file", [&] { return scratch.write("empty", ""); }, FileReadFailure::None, 0},
        {"a link to a file", [&] {
             std::filesystem::create_symlink(scratch.write("target", "abc"), root / "link");
             return root / "link";
         }, FileReadFailure::None, 3},
        {"a byte over the limit", [&] { return scratch.write("over", std::string(kLimit + 1, 'x')); },
         FileReadFailure::TooLarge, 0},
        {"nothing", [&] { return root / "missing"; }, FileReadFailure::Missing, 0},
        {"a dangling link", [&] {
             std::filesystem::create_symlink(root / "nowhere", root / "dangling");
             return root / "dangling";
         }, FileReadFailure::Missing, 0},
    };
    for (const auto& hostile : nonRegularFiles()) {
        const auto path = root / hostile.what;
        cases.push_back({hostile.what, [&hostile, path] {
                             hostile.make(path);
                             return path;
                         }, FileReadFailure::NotARegularFile, 0});
    }
    for (const auto& c : cases) {
        const auto contents = readRegularFile(c.make(), kLimit);
        EXPECT_EQ(contents.failure, c.failure) << c.what << ": " << contents.reason();
        EXPECT_EQ(contents.bytes.size(), c.size) << c.what;
        EXPECT_EQ(contents.reason().empty(), c.failure == FileReadFailure::None) << c.what;
    }
}

TEST(RegularFile, AFileWithoutReadPermissionSaysSo) {
    ScratchDirectory scratch;
    const auto path = scratch.write("private", "secret");
    chmod(path.c_str(), 0);
    const WithoutPermissionOverride asAUser;
    const auto contents = readRegularFile(path, kLimit);
    EXPECT_EQ(contents.failure, FileReadFailure::PermissionDenied);
    EXPECT_EQ(contents.reason(), "Permission denied");
}
