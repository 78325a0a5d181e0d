#include "tests/support/GpuTestSupport.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <mutex>
#include <utility>

namespace {

struct ValidationLog {
    std::mutex mutex;
    std::vector<std::string> messages;
};

// Messages arrive on the driver's threads and may outlive any test.
ValidationLog& validationLog() {
    static auto* log = new ValidationLog;
    return *log;
}

void recordValidationMessage(std::string_view message) {
    auto& log = validationLog();
    std::lock_guard lock(log.mutex);
    log.messages.emplace_back(message);
}

// The loader unloads the validation layer and the CPU driver with each
// instance. What the driver still holds in its globals would then count as
// leaked, and the layer's own leaks would have no library name that
// tests/support/lsan.supp can match. An extra reference, taken before any
// test runs, keeps both mapped for the whole run.
class DriverLibrariesKeptMapped : public ::testing::Environment {
public:
    void SetUp() override {
        for (const char* library : {"libVkLayer_khronos_validation.so", "libvulkan_lvp.so"}) {
            dlopen(library, RTLD_NOW | RTLD_LOCAL);
        }
    }
};

[[maybe_unused]] auto* const kDriverLibrariesKeptMapped =
    ::testing::AddGlobalTestEnvironment(new DriverLibrariesKeptMapped);

} // namespace

Pixel Pixels::at(std::uint32_t x, std::uint32_t y) const {
    const std::size_t offset = (std::size_t(y) * width + x) * 4;
    return {bytes[offset], bytes[offset + 1], bytes[offset + 2], bytes[offset + 3]};
}

Pixels readPixels(gpu::Texture& texture) {
    Pixels pixels;
    pixels.width = std::uint32_t(texture.width());
    pixels.height = std::uint32_t(texture.height());
    pixels.bytes.resize(std::size_t(pixels.width) * pixels.height * 4);
    gpu::Region region;
    region.size = {texture.width(), texture.height(), 1};
    texture.getBytes(pixels.bytes.data(), std::size_t(pixels.width) * 4, region, 0);
    return pixels;
}

void blendSourceOver(gpu::RenderPipelineColorAttachmentDescriptor& attachment) {
    attachment.blendingEnabled = true;
    attachment.sourceRGBBlendFactor = gpu::BlendFactor::SourceAlpha;
    attachment.destinationRGBBlendFactor = gpu::BlendFactor::OneMinusSourceAlpha;
    attachment.sourceAlphaBlendFactor = gpu::BlendFactor::One;
    attachment.destinationAlphaBlendFactor = gpu::BlendFactor::OneMinusSourceAlpha;
}

gpu::DeviceOptions validatedTestDeviceOptions() {
    gpu::DeviceOptions options;
    options.allowSoftwareDevice = true;
    options.enableValidation = true;
    options.validationMessageHandler = recordValidationMessage;
    return options;
}

std::vector<std::string> takeValidationMessages() {
    auto& log = validationLog();
    std::lock_guard lock(log.mutex);
    return std::exchange(log.messages, {});
}
