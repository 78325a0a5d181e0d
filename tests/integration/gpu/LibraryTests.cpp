#include "tests/integration/gpu/GpuTest.h"

#include "platform/foundation/Bundle.h"

#include <vulkan/vulkan.h>

#include <fstream>

namespace {

// A bundle in the scratch directory whose library file holds the given bytes,
// or that has no library at all.
std::shared_ptr<foundation::Bundle> makeBundle(const std::filesystem::path& root,
                                               const std::optional<std::string>& library) {
    std::filesystem::create_directories(root / "Contents" / "Resources");
    std::ofstream(root / "Contents" / "Info.ini") << "[Bundle]\nIdentifier=test.gpu.library\n";
    if (library) std::ofstream(root / "Contents" / "Resources" / "default.spv", std::ios::binary) << *library;
    return foundation::Bundle::bundleWithPath(root);
}

} // namespace

class LibraryTest : public GpuTest {};

TEST_F(LibraryTest, FindsItsEntryPointsByNameOnly) {
    for (const char* name : {"fullscreenVertex", "quadVertex", "flatFragment", "sampledFragment"}) {
        const auto function = library_->newFunctionWithName(name);
        ASSERT_NE(function, nullptr) << name;
        EXPECT_EQ(function->name(), name);
    }
    for (const char* name : {"main", "flatfragment", "logoFragment", ""}) {
        EXPECT_EQ(library_->newFunctionWithName(name), nullptr) << name;
    }
}

TEST_F(LibraryTest, ABundleWithoutALibraryGivesNoLibraryAndNoError) {
    const auto bundle = makeBundle(cacheHome_.root() / "Empty.bundle", std::nullopt);
    ASSERT_NE(bundle, nullptr);
    foundation::ErrorRef error;
    EXPECT_EQ(device_->newDefaultLibraryWithBundle(*bundle, &error), nullptr);
    EXPECT_EQ(error, nullptr);
}

TEST_F(LibraryTest, AnUnusableLibraryGivesAnErrorOfTheGpuDomain) {
    std::ifstream valid(testBundlePath() / "Contents" / "Resources" / "default.spv", std::ios::binary);
    std::string validBytes{std::istreambuf_iterator<char>(valid), {}};
    ASSERT_GT(validBytes.size(), 64u);
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty", ""},
        {"not SPIR-V", "#version 450\nvoid main() {}\n"},
        {"cut mid-word", validBytes.substr(0, validBytes.size() - 2)},
        {"cut mid-instruction", validBytes.substr(0, validBytes.size() / 2 / 4 * 4)},
    };
    int index = 0;
    for (const auto& c : cases) {
        const auto bundle = makeBundle(cacheHome_.root() / ("Broken" + std::to_string(index++) + ".bundle"), c.bytes);
        foundation::ErrorRef error;
        EXPECT_EQ(device_->newDefaultLibraryWithBundle(*bundle, &error), nullptr) << c.what;
        ASSERT_NE(error, nullptr) << c.what;
        EXPECT_EQ(error->domain(), gpu::kErrorDomain) << c.what;
        EXPECT_EQ(error->code(), VK_ERROR_INITIALIZATION_FAILED) << c.what;
        EXPECT_NE(error->localizedDescription().find("default.spv"), std::string::npos)
            << error->localizedDescription();
    }
}

TEST_F(LibraryTest, PipelinesNeedBothStagesAndAPixelFormat) {
    struct Case {
        const char* vertex;
        const char* fragment;
        gpu::PixelFormat format;
        VkResult code;
    };
    for (const auto& c : {Case{"fullscreenVertex", "flatFragment", gpu::PixelFormat::Invalid,
                                VK_ERROR_FORMAT_NOT_SUPPORTED},
                          Case{"flatFragment", "flatFragment", kTargetFormat, VK_ERROR_INITIALIZATION_FAILED},
                          Case{"fullscreenVertex", "missing", kTargetFormat, VK_ERROR_INITIALIZATION_FAILED}}) {
        gpu::RenderPipelineDescriptor descriptor;
        descriptor.vertexFunction = library_->newFunctionWithName(c.vertex);
        descriptor.fragmentFunction = library_->newFunctionWithName(c.fragment);
        descriptor.colorAttachments[0].pixelFormat = c.format;
        foundation::ErrorRef error;
        EXPECT_EQ(device_->newRenderPipelineStateWithDescriptor(descriptor, &error), nullptr) << c.vertex;
        ASSERT_NE(error, nullptr);
        EXPECT_EQ(error->domain(), gpu::kErrorDomain);
        EXPECT_EQ(error->code(), c.code);
        EXPECT_EQ(error->localizedDescription().rfind("vkCreateGraphicsPipelines failed: ", 0), 0u)
            << error->localizedDescription();
    }
}
