#include "tests/support/GpuHarness.h"

#include "platform/foundation/Bundle.h"

#include <utility>

using foundation::describe;

bool GpuHarness::open(const std::filesystem::path& bundlePath, bool enableValidation, std::string* failure) {
    gpu::DeviceOptions options = validatedTestDeviceOptions();
    options.enableValidation = enableValidation;
    // A device of the harness's own, gone with it: tests that release it
    // see it go, and none shares state with the one before.
    device_ = gpu::Device::newIsolatedDevice(options);
    if (!device_) {
        if (failure) *failure = "no Vulkan device, not even a software one";
        return false;
    }
    queue_ = device_->newCommandQueue();
    if (!queue_) {
        if (failure) *failure = "no command queue";
        return false;
    }
    library_ = loadLibrary(bundlePath, failure);
    return library_ != nullptr;
}

std::shared_ptr<gpu::Library> GpuHarness::loadLibrary(const std::filesystem::path& bundlePath,
                                                       std::string* failure) const {
    const auto bundle = foundation::Bundle::bundleWithPath(bundlePath);
    if (!bundle) {
        if (failure) *failure = "no bundle at " + bundlePath.string();
        return nullptr;
    }
    foundation::ErrorRef error;
    auto library = device_->newDefaultLibraryWithBundle(*bundle, &error);
    if (!library && failure) *failure = "no program library in " + bundlePath.string() + ": " + describe(error);
    return library;
}

std::shared_ptr<gpu::RenderPipelineState> GpuHarness::newPipeline(const std::string& vertexName,
                                                                  const std::string& fragmentName, bool blending,
                                                                  std::string* failure,
                                                                  const std::shared_ptr<gpu::Library>& library) const {
    const auto& source = library ? library : library_;
    gpu::RenderPipelineDescriptor descriptor;
    descriptor.label = "KORLAN Flow Test " + vertexName + "+" + fragmentName;
    descriptor.vertexFunction = source->newFunctionWithName(vertexName);
    descriptor.fragmentFunction = source->newFunctionWithName(fragmentName);
    auto& attachment = descriptor.colorAttachments[0];
    attachment.pixelFormat = kTargetFormat;
    if (blending) blendSourceOver(attachment);
    foundation::ErrorRef error;
    auto pipeline = device_->newRenderPipelineStateWithDescriptor(descriptor, &error);
    if (!pipeline && failure) *failure = "pipeline " + descriptor.label + " failed: " + describe(error);
    return pipeline;
}

std::shared_ptr<gpu::SamplerState> GpuHarness::newSampler(gpu::SamplerMinMagFilter filter) const {
    gpu::SamplerDescriptor descriptor;
    descriptor.label = "KORLAN Flow Test Sampler";
    descriptor.minFilter = filter;
    descriptor.magFilter = filter;
    return device_->newSamplerStateWithDescriptor(descriptor);
}

std::shared_ptr<gpu::Texture> GpuHarness::newTarget(std::uint64_t width, std::uint64_t height) const {
    auto descriptor = gpu::TextureDescriptor::texture2DDescriptor(kTargetFormat, width, height, false);
    descriptor.usage = gpu::TextureUsageRenderTarget | gpu::TextureUsageShaderRead;
    descriptor.storageMode = gpu::StorageMode::Shared;
    return device_->newTextureWithDescriptor(descriptor);
}

bool GpuHarness::encodePass(gpu::CommandBuffer& commandBuffer, const std::shared_ptr<gpu::Texture>& target,
                            const Pass& pass) const {
    auto descriptor = gpu::RenderPassDescriptor::renderPassDescriptor();
    auto& attachment = descriptor.colorAttachments[0];
    attachment.texture = target;
    attachment.loadAction = pass.loadAction;
    attachment.storeAction = gpu::StoreAction::Store;
    attachment.clearColor = pass.clearColor;
    const auto encoder = commandBuffer.renderCommandEncoderWithDescriptor(descriptor);
    if (!encoder) return false;
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
    return true;
}

bool GpuHarness::drawPasses(const std::shared_ptr<gpu::Texture>& target, std::span<const Pass> passes) const {
    const auto commandBuffer = queue_->commandBuffer();
    if (!commandBuffer || !target) return false;
    for (const auto& pass : passes) {
        if (!encodePass(*commandBuffer, target, pass)) return false;
    }
    commandBuffer->commit();
    commandBuffer->waitUntilCompleted();
    return commandBuffer->status() == gpu::CommandBufferStatus::Completed;
}

Pixels GpuHarness::render(const std::shared_ptr<gpu::Texture>& target, std::span<const Pass> passes) const {
    return drawPasses(target, passes) ? readPixels(*target) : Pixels{};
}

std::vector<float> colorBytes(float red, float green, float blue, float alpha) { return {red, green, blue, alpha}; }
