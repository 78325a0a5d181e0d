#include "tests/integration/gpu/GpuTest.h"

#include "platform/foundation/Bundle.h"

#include <cmath>
#include <cstdlib>

std::filesystem::path GpuTest::testBundlePath() { return KORLAN_FLOW_GPU_TEST_BUNDLE; }

void GpuTest::SetUp() {
    gpu::setDeviceOptions(validatedTestDeviceOptions());
    takeValidationMessages();
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
    for (const auto& message : takeValidationMessages()) ADD_FAILURE() << "validation: " << message;
}

std::shared_ptr<gpu::RenderPipelineState> GpuTest::newPipeline(const std::string& vertexName,
                                                               const std::string& fragmentName, bool blending) {
    gpu::RenderPipelineDescriptor descriptor;
    descriptor.label = vertexName + "+" + fragmentName;
    descriptor.vertexFunction = library_->newFunctionWithName(vertexName);
    descriptor.fragmentFunction = library_->newFunctionWithName(fragmentName);
    auto& attachment = descriptor.colorAttachments[0];
    attachment.pixelFormat = kTargetFormat;
    if (blending) blendSourceOver(attachment);
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

std::vector<float> colorBytes(float red, float green, float blue, float alpha) { return {red, green, blue, alpha}; }

std::uint8_t unorm8(double value) { return static_cast<std::uint8_t>(std::lround(value * 255.0)); }
