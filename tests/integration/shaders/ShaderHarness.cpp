#include "tests/integration/shaders/ShaderHarness.h"

#include "platform/foundation/Bundle.h"

#include <utility>

namespace {

std::string describe(const foundation::ErrorRef& error) {
    return error ? error->localizedDescription() : std::string("no error given");
}

} // namespace

std::unique_ptr<ShaderHarness> ShaderHarness::create(const std::filesystem::path& bundlePath, bool enableValidation,
                                                     std::string* failure) {
    gpu::DeviceOptions options = validatedTestDeviceOptions();
    options.enableValidation = enableValidation;
    gpu::setDeviceOptions(std::move(options));

    std::unique_ptr<ShaderHarness> harness(new ShaderHarness);
    harness->device_ = gpu::Device::createSystemDefaultDevice();
    if (!harness->device_) {
        if (failure) *failure = "no GPU device";
        return nullptr;
    }
    harness->queue_ = harness->device_->newCommandQueue();
    harness->library_ = harness->loadLibrary(bundlePath, failure);
    if (!harness->queue_ || !harness->library_) return nullptr;
    harness->patternPipeline_ = harness->newPipeline("flowVertex", "flowFragment", false, failure);
    if (!harness->patternPipeline_) return nullptr;
    return harness;
}

std::shared_ptr<gpu::Library> ShaderHarness::loadLibrary(const std::filesystem::path& bundlePath,
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

std::shared_ptr<gpu::RenderPipelineState> ShaderHarness::newPipeline(const std::string& vertexName,
                                                                     const std::string& fragmentName, bool blending,
                                                                     std::string* failure,
                                                                     const std::shared_ptr<gpu::Library>& library) const {
    const auto& source = library ? library : library_;
    gpu::RenderPipelineDescriptor descriptor;
    descriptor.label = "KORLAN Flow " + fragmentName;
    descriptor.vertexFunction = source->newFunctionWithName(vertexName);
    descriptor.fragmentFunction = source->newFunctionWithName(fragmentName);
    if (!descriptor.vertexFunction || !descriptor.fragmentFunction) {
        if (failure) *failure = "no entry point " + vertexName + " or " + fragmentName;
        return nullptr;
    }
    auto& attachment = descriptor.colorAttachments[0];
    attachment.pixelFormat = gpu::PixelFormat::BGRA8Unorm;
    if (blending) blendSourceOver(attachment);
    foundation::ErrorRef error;
    auto pipeline = device_->newRenderPipelineStateWithDescriptor(descriptor, &error);
    if (!pipeline && failure) *failure = "pipeline " + fragmentName + " failed: " + describe(error);
    return pipeline;
}

std::shared_ptr<gpu::Texture> ShaderHarness::newTarget(std::uint32_t width, std::uint32_t height) const {
    auto descriptor = gpu::TextureDescriptor::texture2DDescriptor(gpu::PixelFormat::BGRA8Unorm, width, height, false);
    descriptor.usage = gpu::TextureUsageShaderRead | gpu::TextureUsageRenderTarget;
    descriptor.storageMode = gpu::StorageMode::Shared;
    return device_->newTextureWithDescriptor(descriptor);
}

std::shared_ptr<gpu::SamplerState> ShaderHarness::newSampler(gpu::SamplerMinMagFilter filter) const {
    gpu::SamplerDescriptor descriptor;
    descriptor.label = "KORLAN Flow Test Sampler";
    descriptor.minFilter = filter;
    descriptor.magFilter = filter;
    return device_->newSamplerStateWithDescriptor(descriptor);
}

bool ShaderHarness::encodePass(gpu::CommandBuffer& commandBuffer, const std::shared_ptr<gpu::Texture>& target,
                               const PassDescription& pass) const {
    auto descriptor = gpu::RenderPassDescriptor::renderPassDescriptor();
    auto& attachment = descriptor.colorAttachments[0];
    attachment.texture = target;
    attachment.loadAction = gpu::LoadAction::Clear;
    attachment.storeAction = gpu::StoreAction::Store;
    attachment.clearColor = pass.clearColor;
    const auto encoder = commandBuffer.renderCommandEncoderWithDescriptor(descriptor);
    if (!encoder) return false;
    encoder->setRenderPipelineState(pass.pipeline);
    if (!pass.vertexBytes.empty()) encoder->setVertexBytes(pass.vertexBytes.data(), pass.vertexBytes.size(), 0);
    if (!pass.fragmentBytes.empty()) encoder->setFragmentBytes(pass.fragmentBytes.data(), pass.fragmentBytes.size(), 0);
    if (pass.texture) {
        encoder->setFragmentTexture(pass.texture, 0);
        encoder->setFragmentSamplerState(pass.sampler, 0);
    }
    encoder->drawPrimitives(gpu::PrimitiveType::Triangle, 0, pass.vertexCount);
    encoder->endEncoding();
    return true;
}

Pixels ShaderHarness::render(const std::shared_ptr<gpu::Texture>& target,
                             std::span<const PassDescription> passes) const {
    const auto commandBuffer = queue_->commandBuffer();
    if (!commandBuffer || !target) return {};
    for (const auto& pass : passes) {
        if (!encodePass(*commandBuffer, target, pass)) return {};
    }
    commandBuffer->commit();
    commandBuffer->waitUntilCompleted();
    if (commandBuffer->status() != gpu::CommandBufferStatus::Completed) return {};
    return readPixels(*target);
}

PassDescription ShaderHarness::patternPass(const KORLANFlowUniforms& uniforms) const {
    PassDescription pass;
    pass.pipeline = patternPipeline_;
    pass.clearColor = kBackgroundColor;
    pass.fragmentBytes = std::as_bytes(std::span(&uniforms, 1));
    return pass;
}

Pixels ShaderHarness::renderPattern(const KORLANFlowUniforms& uniforms, std::uint32_t width,
                                    std::uint32_t height) const {
    const auto pass = patternPass(uniforms);
    return render(newTarget(width, height), std::span(&pass, 1));
}


KORLANFlowUniforms makeUniforms(std::uint32_t width, std::uint32_t height, float time, float seed, float speed,
                                float intensity, float complexity) {
    return {float(width), float(height), time, speed, intensity, complexity, seed, 0.0f};
}

