// Program libraries as a hostile bundle would hold them: each is refused as
// a broken library, with the GPU layer's error, before the driver sees it.
#include "tests/integration/gpu/GpuTest.h"

#include "tests/support/HostileFiles.h"
#include "tests/support/TestBundle.h"

#include <vulkan/vulkan.h>

#include <functional>
#include <vector>

namespace {

const std::filesystem::path kMismatched = KORLAN_FLOW_MISMATCHED_LIBRARIES;

struct Case {
    const char* what;
    std::function<void(const std::filesystem::path& library)> make;
    // A part of the error's description that says what is wrong; none where
    // the bundle counts the library as absent (no error, as for a bundle
    // without one).
    const char* problem;
};

std::function<void(const std::filesystem::path&)> copyOf(const char* mismatched) {
    return [mismatched](const std::filesystem::path& library) {
        std::filesystem::copy_file(kMismatched / (std::string(mismatched) + ".spv"), library);
    };
}

std::vector<Case> hostileLibraries() {
    std::vector<Case> cases{
        {"a vertex program named as a fragment program", copyOf("VertexNamedFragment"),
         "entry point flowFragment is not a fragment program"},
        {"an image in the vertex stage", copyOf("ImageInVertexStage"), "uses descriptors outside the fragment stage"},
        {"a uniform buffer", copyOf("UniformBuffer"), "uses binding 0 for something the layout does not hold there"},
        {"a third binding", copyOf("ThirdBinding"), "uses binding 2"},
        {"a second descriptor set", copyOf("SecondSet"), "uses a descriptor outside set 0"},
        {"the sampler and image swapped", copyOf("SwappedBindings"), "for something the layout does not hold there"},
        {"a combined image sampler", copyOf("CombinedSampler"), "uses binding 0 for something"},
        {"fragment bytes in the vertex range", copyOf("VertexBytesInFragment"),
         "uses push constants outside bytes 96 to 128"},
        {"vertex bytes past their range", copyOf("TooManyVertexBytes"), "uses push constants outside bytes 0 to 96"},
        {"a file over 16 MiB", [](auto& library) { makeSparseFile(library, (std::uintmax_t{16} << 20) + 4); },
         "larger than its size limit"},
    };
    for (const auto& hostile : nonRegularFiles()) cases.push_back({hostile.what, hostile.make, nullptr});
    return cases;
}

} // namespace

class HostileLibraryTest : public GpuTest {};

TEST_F(HostileLibraryTest, IsRefusedAsABrokenLibrary) {
    for (const auto& c : hostileLibraries()) {
        TestBundle bundle;
        c.make(bundle.path() / "Contents" / "Resources" / "default.spv");
        foundation::ErrorRef error;
        EXPECT_EQ(device_->newDefaultLibraryWithBundle(*bundle.bundle(), &error), nullptr) << c.what;
        if (!c.problem) {
            EXPECT_EQ(error, nullptr) << c.what;
            continue;
        }
        ASSERT_NE(error, nullptr) << c.what;
        EXPECT_EQ(error->domain(), gpu::kErrorDomain) << c.what;
        EXPECT_EQ(error->code(), VK_ERROR_INITIALIZATION_FAILED) << c.what;
        const std::string description = error->localizedDescription();
        EXPECT_NE(description.find("default.spv: "), std::string::npos) << description;
        EXPECT_NE(description.find(c.problem), std::string::npos) << c.what << ": " << description;
    }
}
