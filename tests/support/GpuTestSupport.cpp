#include "tests/support/GpuTestSupport.h"

#include <dlfcn.h>

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
// instance, and what they keep to themselves would then be reported as
// leaks of no library that tests/support/lsan.supp can name. An extra
// reference keeps them mapped.
void keepDriverLibrariesMapped() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (const char* library : {"libVkLayer_khronos_validation.so", "libvulkan_lvp.so"}) {
            dlopen(library, RTLD_NOW | RTLD_LOCAL);
        }
    });
}

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
    keepDriverLibrariesMapped();
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
