#include "tests/integration/gpu/GpuTest.h"
#include "tests/support/VulkanFaults.h"

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
    }
    gpu::setDeviceOptions({});
}

TEST(SystemDevice, IsSharedUntilItIsLostOrItsOptionsChange) {
    gpu::setDeviceOptions(validatedTestDeviceOptions());
    const auto first = gpu::Device::createSystemDefaultDevice();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(gpu::Device::createSystemDefaultDevice(), first);

    gpu::setDeviceOptions(validatedTestDeviceOptions());
    const auto second = gpu::Device::createSystemDefaultDevice();
    EXPECT_NE(second, first) << "new options, new device";
    EXPECT_EQ(gpu::Device::createSystemDefaultDevice(), second);

    {
        const LoseDeviceOnSubmit lost;
        const auto buffer = second->newCommandQueue()->commandBuffer();
        buffer->commit();
        buffer->waitUntilCompleted();
        EXPECT_EQ(buffer->status(), gpu::CommandBufferStatus::Error);
        ASSERT_NE(buffer->error(), nullptr);
        EXPECT_EQ(buffer->error()->code(), VK_ERROR_DEVICE_LOST);
    }
    const auto third = gpu::Device::createSystemDefaultDevice();
    EXPECT_NE(third, second) << "a lost device is not handed out again";
    EXPECT_NE(third, nullptr);

    gpu::releaseSystemDefaultDevice();
    EXPECT_NE(gpu::Device::createSystemDefaultDevice(), third);
    gpu::setDeviceOptions({});
}

class PipelineCacheTest : public GpuTest {};

TEST_F(PipelineCacheTest, IsWrittenUnderTheCacheHomeAsSoonAsAPipelineAddsToIt) {
    const auto expected = cacheHome_.root() / "korlan-flow" / "pipeline-cache.bin";
    ASSERT_NE(newPipeline("fullscreenVertex", "flatFragment"), nullptr);
    std::ifstream file(expected, std::ios::binary);
    const std::vector<char> data{std::istreambuf_iterator<char>(file), {}};
    ASSERT_GE(data.size(), sizeof(VkPipelineCacheHeaderVersionOne));
    VkPipelineCacheHeaderVersionOne header;
    std::memcpy(&header, data.data(), sizeof header);
    EXPECT_EQ(header.headerSize, sizeof header);
    EXPECT_EQ(header.headerVersion, VK_PIPELINE_CACHE_HEADER_VERSION_ONE);

    // A pipeline the cache already holds adds nothing: the file stays.
    const auto written = std::filesystem::last_write_time(expected);
    ASSERT_NE(newPipeline("fullscreenVertex", "flatFragment"), nullptr);
    EXPECT_EQ(std::filesystem::last_write_time(expected), written);

    // The next device starts from the file and builds the same pipeline.
    const auto next = gpu::Device::newIsolatedDevice(validatedTestDeviceOptions());
    ASSERT_NE(next, nullptr);
    const auto bundle = foundation::Bundle::bundleWithPath(testBundlePath());
    const auto library = next->newDefaultLibraryWithBundle(*bundle);
    gpu::RenderPipelineDescriptor descriptor;
    descriptor.vertexFunction = library->newFunctionWithName("fullscreenVertex");
    descriptor.fragmentFunction = library->newFunctionWithName("flatFragment");
    descriptor.colorAttachments[0].pixelFormat = kTargetFormat;
    EXPECT_NE(next->newRenderPipelineStateWithDescriptor(descriptor), nullptr);
    EXPECT_EQ(std::filesystem::last_write_time(expected), written);
}
