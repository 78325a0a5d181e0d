#include "tests/integration/gpu/GpuTest.h"

#include "platform/foundation/Bundle.h"

#include <dlfcn.h>
#include <glib.h>

#include <cmath>
#include <cstdlib>

namespace {

// The loader unloads the validation layer with each instance, and leaks the
// layer keeps to itself would then be reported without a library name that
// tests/support/lsan.supp can match. An extra reference keeps it mapped.
class ValidationLayerKeptMapped : public ::testing::Environment {
public:
    void SetUp() override { dlopen("libVkLayer_khronos_validation.so", RTLD_NOW | RTLD_LOCAL); }
};

[[maybe_unused]] auto* const kValidationLayerKeptMapped =
    ::testing::AddGlobalTestEnvironment(new ValidationLayerKeptMapped);

} // namespace

ScopedEnvironmentVariable::ScopedEnvironmentVariable(std::string name, const std::string& value)
    : name_(std::move(name)) {
    if (const char* previous = std::getenv(name_.c_str())) previous_ = previous;
    setenv(name_.c_str(), value.c_str(), 1);
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable() {
    if (previous_) {
        setenv(name_.c_str(), previous_->c_str(), 1);
    } else {
        unsetenv(name_.c_str());
    }
}

void ValidationMessages::record(std::string_view message) {
    std::lock_guard lock(mutex_);
    messages_.emplace_back(message);
}

std::vector<std::string> ValidationMessages::take() {
    std::lock_guard lock(mutex_);
    return std::exchange(messages_, {});
}

Pixel Pixels::at(std::uint32_t x, std::uint32_t y) const {
    const std::size_t offset = (std::size_t{y} * width + x) * 4;
    return {bytes[offset], bytes[offset + 1], bytes[offset + 2], bytes[offset + 3]};
}

gpu::DeviceOptions GpuTest::testOptions(const std::shared_ptr<ValidationMessages>& messages) {
    gpu::DeviceOptions options;
    options.allowSoftwareDevice = true;
    options.enableValidation = true;
    options.validationMessageHandler = [messages](std::string_view message) { messages->record(message); };
    return options;
}

std::filesystem::path GpuTest::testBundlePath() { return KORLAN_FLOW_GPU_TEST_BUNDLE; }

void GpuTest::SetUp() {
    gchar* directory = g_dir_make_tmp("korlan-flow-gpu-XXXXXX", nullptr);
    ASSERT_NE(directory, nullptr);
    cacheHome_ = directory;
    g_free(directory);
    cacheHomeVariable_ = std::make_unique<ScopedEnvironmentVariable>("XDG_CACHE_HOME", cacheHome_.string());

    gpu::setDeviceOptions(testOptions(validationMessages_));
    device_ = gpu::Device::createSystemDefaultDevice();
    ASSERT_NE(device_, nullptr) << "no Vulkan device, not even a software one";
    queue_ = device_->newCommandQueue();
    ASSERT_NE(queue_, nullptr);
    const auto bundle = foundation::Bundle::bundleWithPath(testBundlePath());
    ASSERT_NE(bundle, nullptr);
    foundation::ErrorRef error;
    library_ = device_->newDefaultLibraryWithBundle(*bundle, &error);
    ASSERT_NE(library_, nullptr) << (error ? error->localizedDescription() : "no library");
}

// The device goes last, so the layer has seen every object destroyed
// before the messages are counted.
void GpuTest::TearDown() {
    library_.reset();
    queue_.reset();
    device_.reset();
    gpu::setDeviceOptions({});
    for (const auto& message : validationMessages_->take()) ADD_FAILURE() << "validation: " << message;
    cacheHomeVariable_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(cacheHome_, ignored);
}

std::shared_ptr<gpu::RenderPipelineState> GpuTest::newPipeline(const std::string& vertexName,
                                                               const std::string& fragmentName, bool blending) {
    gpu::RenderPipelineDescriptor descriptor;
    descriptor.label = vertexName + "+" + fragmentName;
    descriptor.vertexFunction = library_->newFunctionWithName(vertexName);
    descriptor.fragmentFunction = library_->newFunctionWithName(fragmentName);
    auto& attachment = descriptor.colorAttachments[0];
    attachment.pixelFormat = kTargetFormat;
    if (blending) {
        attachment.blendingEnabled = true;
        attachment.sourceRGBBlendFactor = gpu::BlendFactor::SourceAlpha;
        attachment.destinationRGBBlendFactor = gpu::BlendFactor::OneMinusSourceAlpha;
        attachment.sourceAlphaBlendFactor = gpu::BlendFactor::One;
        attachment.destinationAlphaBlendFactor = gpu::BlendFactor::OneMinusSourceAlpha;
    }
    foundation::ErrorRef error;
    auto pipeline = device_->newRenderPipelineStateWithDescriptor(descriptor, &error);
    EXPECT_NE(pipeline, nullptr) << (error ? error->localizedDescription() : "no error");
    return pipeline;
}

std::shared_ptr<gpu::SamplerState> GpuTest::newSampler(gpu::SamplerMinMagFilter filter) {
    gpu::SamplerDescriptor descriptor;
    descriptor.minFilter = filter;
    descriptor.magFilter = filter;
    return device_->newSamplerStateWithDescriptor(descriptor);
}

std::shared_ptr<gpu::Texture> GpuTest::newTarget(std::uint64_t width, std::uint64_t height) {
    auto descriptor = gpu::TextureDescriptor::texture2DDescriptor(kTargetFormat, width, height, false);
    descriptor.usage = gpu::TextureUsageRenderTarget | gpu::TextureUsageShaderRead;
    descriptor.storageMode = gpu::StorageMode::Shared;
    return device_->newTextureWithDescriptor(descriptor);
}

void GpuTest::encodePass(gpu::CommandBuffer& commandBuffer, const std::shared_ptr<gpu::Texture>& target,
                         const Pass& pass) {
    auto descriptor = gpu::RenderPassDescriptor::renderPassDescriptor();
    auto& attachment = descriptor.colorAttachments[0];
    attachment.texture = target;
    attachment.loadAction = pass.loadAction;
    attachment.storeAction = gpu::StoreAction::Store;
    attachment.clearColor = pass.clearColor;
    const auto encoder = commandBuffer.renderCommandEncoderWithDescriptor(descriptor);
    ASSERT_NE(encoder, nullptr);
    encoder->setRenderPipelineState(pass.pipeline);
    if (!pass.vertexBytes.empty()) {
        encoder->setVertexBytes(pass.vertexBytes.data(), pass.vertexBytes.size() * sizeof(float), 0);
    }
    if (!pass.fragmentBytes.empty()) {
        encoder->setFragmentBytes(pass.fragmentBytes.data(), pass.fragmentBytes.size() * sizeof(float), 0);
    }
    if (pass.texture) encoder->setFragmentTexture(pass.texture, 0);
    if (pass.sampler) encoder->setFragmentSamplerState(pass.sampler, 0);
    encoder->drawPrimitives(gpu::PrimitiveType::Triangle, 0, pass.vertexCount);
    encoder->endEncoding();
}

void GpuTest::draw(const std::shared_ptr<gpu::Texture>& target, const Pass& pass) {
    const auto commandBuffer = queue_->commandBuffer();
    ASSERT_NE(commandBuffer, nullptr);
    encodePass(*commandBuffer, target, pass);
    commandBuffer->commit();
    commandBuffer->waitUntilCompleted();
    ASSERT_EQ(commandBuffer->status(), gpu::CommandBufferStatus::Completed);
}

Pixels GpuTest::readPixels(gpu::Texture& target) {
    Pixels pixels;
    pixels.width = static_cast<std::uint32_t>(target.width());
    pixels.height = static_cast<std::uint32_t>(target.height());
    pixels.bytes.resize(std::size_t{pixels.width} * pixels.height * 4);
    const gpu::Region region{{0, 0, 0}, {pixels.width, pixels.height, 1}};
    target.getBytes(pixels.bytes.data(), std::size_t{pixels.width} * 4, region, 0);
    return pixels;
}

std::vector<float> colorBytes(float red, float green, float blue, float alpha) { return {red, green, blue, alpha}; }

std::uint8_t unorm8(double value) { return static_cast<std::uint8_t>(std::lround(value * 255.0)); }
