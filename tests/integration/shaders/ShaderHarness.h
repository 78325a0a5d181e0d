#pragma once

// The bundle's GPU programs on the default device, drawn into offscreen
// targets and read back: shared by the shader tests, the pattern benchmark
// and the pattern render tool.

#include "platform/gpu/Device.h"
#include "tests/support/GpuTestSupport.h"
#include "shaders/KORLANFlowShaderTypes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

// One render pass over a whole target: cleared, then one draw. The byte
// spans are views: what they show must outlive the encoding.
struct PassDescription {
    std::shared_ptr<gpu::RenderPipelineState> pipeline;
    gpu::ClearColor clearColor;
    std::span<const std::byte> vertexBytes;
    std::span<const std::byte> fragmentBytes;
    std::shared_ptr<gpu::Texture> texture;
    std::shared_ptr<gpu::SamplerState> sampler;
    std::size_t vertexCount = 3;
};

// The scene's background, 15/255, 18/255, 22/255.
inline constexpr gpu::ClearColor kBackgroundColor{15.0 / 255.0, 18.0 / 255.0, 22.0 / 255.0, 1.0};

class ShaderHarness {
public:
    // Null with the reason when there is no device or no library. With
    // validation on, every message of the layer is kept for
    // takeValidationMessages().
    static std::unique_ptr<ShaderHarness> create(const std::filesystem::path& bundlePath, bool enableValidation,
                                                 std::string* failure);

    gpu::Device& device() const { return *device_; }
    std::shared_ptr<gpu::Library> loadLibrary(const std::filesystem::path& bundlePath, std::string* failure) const;

    // Opaque output, or source-alpha "over" blending as the logo pipeline
    // has it; from the bundle's library unless another is given.
    std::shared_ptr<gpu::RenderPipelineState> newPipeline(const std::string& vertexName,
                                                          const std::string& fragmentName, bool blending = false,
                                                          std::string* failure = nullptr,
                                                          const std::shared_ptr<gpu::Library>& library = nullptr) const;
    // BGRA8, a render target that shaders can read and the CPU can read back.
    std::shared_ptr<gpu::Texture> newTarget(std::uint32_t width, std::uint32_t height) const;
    std::shared_ptr<gpu::SamplerState> newSampler(gpu::SamplerMinMagFilter filter) const;

    // False when the command buffer gives no encoder.
    bool encodePass(gpu::CommandBuffer& commandBuffer, const std::shared_ptr<gpu::Texture>& target,
                    const PassDescription& pass) const;
    // Commits the passes in one command buffer, waits and reads the target;
    // empty when a pass cannot be encoded or the GPU reports an error.
    Pixels render(const std::shared_ptr<gpu::Texture>& target, std::span<const PassDescription> passes) const;

    // The pattern pipeline drawing the block into a target of this size.
    Pixels renderPattern(const KORLANFlowUniforms& uniforms, std::uint32_t width, std::uint32_t height) const;
    PassDescription patternPass(const KORLANFlowUniforms& uniforms) const;

    std::shared_ptr<gpu::CommandQueue> queue() const { return queue_; }

private:
    ShaderHarness() = default;

    std::shared_ptr<gpu::Device> device_;
    std::shared_ptr<gpu::CommandQueue> queue_;
    std::shared_ptr<gpu::Library> library_;
    std::shared_ptr<gpu::RenderPipelineState> patternPipeline_;
};

// The block as the renderer fills it, for a target of this size.
KORLANFlowUniforms makeUniforms(std::uint32_t width, std::uint32_t height, float time, float seed,
                                float speed = 0.8f, float intensity = 0.88f, float complexity = 1.0f);

