#include "tests/integration/gpu/GpuTest.h"

#include "platform/foundation/Bundle.h"

#include <vulkan/vulkan.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace {

constexpr const char* kSoftwareDriverOnly = "/usr/share/vulkan/icd.d/lvp_icd.x86_64.json";

} // namespace

// The driver list is narrowed to the CPU driver, so each case is the same on
// a machine with a GPU.
TEST(DeviceSelection, UsesACpuDeviceOnlyWhenAllowed) {
    struct Case {
        const char* drivers;
        bool allowSoftware;
        bool expectDevice;
    };
    for (const auto& c : {Case{"/nonexistent", true, false}, Case{kSoftwareDriverOnly, false, false},
                          Case{kSoftwareDriverOnly, true, true}}) {
        ScopedEnvironmentVariable drivers("VK_ICD_FILENAMES", c.drivers);
        gpu::DeviceOptions options;
        options.allowSoftwareDevice = c.allowSoftware;
        gpu::setDeviceOptions(options);
        const auto device = gpu::Device::createSystemDefaultDevice();
        EXPECT_EQ(device != nullptr, c.expectDevice) << c.drivers << " software " << c.allowSoftware;
        if (device) {
            EXPECT_TRUE(device->isSoftware());
        }
    }
    gpu::setDeviceOptions({});
}

class PipelineCacheTest : public GpuTest {};

TEST_F(PipelineCacheTest, IsWrittenUnderTheCacheHomeWhenTheDeviceGoes) {
    const auto expected = cacheHome_.root() / "korlan-flow" / "pipeline-cache.bin";
    ASSERT_NE(newPipeline("fullscreenVertex", "flatFragment"), nullptr);
    EXPECT_FALSE(std::filesystem::exists(expected));

    library_.reset();
    queue_.reset();
    device_.reset();
    std::ifstream file(expected, std::ios::binary);
    const std::vector<char> data{std::istreambuf_iterator<char>(file), {}};
    ASSERT_GE(data.size(), sizeof(VkPipelineCacheHeaderVersionOne));
    VkPipelineCacheHeaderVersionOne header;
    std::memcpy(&header, data.data(), sizeof header);
    EXPECT_EQ(header.headerSize, sizeof header);
    EXPECT_EQ(header.headerVersion, VK_PIPELINE_CACHE_HEADER_VERSION_ONE);

    // The next device starts from the file and builds the same pipeline.
    gpu::setDeviceOptions(validatedTestDeviceOptions());
    device_ = gpu::Device::createSystemDefaultDevice();
    ASSERT_NE(device_, nullptr);
    const auto bundle = foundation::Bundle::bundleWithPath(testBundlePath());
    library_ = device_->newDefaultLibraryWithBundle(*bundle);
    EXPECT_NE(newPipeline("fullscreenVertex", "flatFragment"), nullptr);
}
