#pragma once

// Drawing on the real GPU backend, for the integration tests and the
// benchmarks: the default device (software rendering allowed), its queue and
// a bundle's program library, with offscreen targets that are read back.

#include "tests/support/GpuTestSupport.h"

#include "platform/gpu/Device.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

// One pass over a whole target: a draw with what is set here.
struct Pass {
    std::shared_ptr<gpu::RenderPipelineState> pipeline = {};
    gpu::LoadAction loadAction = gpu::LoadAction::Clear;
    gpu::ClearColor clearColor = {};
    std::vector<float> vertexBytes = {};
    std::vector<float> fragmentBytes = {};
    std::shared_ptr<gpu::Texture> texture = {};
    std::shared_ptr<gpu::SamplerState> sampler = {};
    std::size_t vertexCount = 3;
};

class GpuHarness {
public:
    static constexpr auto kTargetFormat = gpu::PixelFormat::BGRA8Unorm;

    // Opens the default device, its queue and the program library of the
    // bundle; with validation, the layer's messages are kept for
    // takeValidationMessages(). False with the reason when one is missing.
    bool open(const std::filesystem::path& bundlePath, bool enableValidation, std::string* failure);

    gpu::Device& device() const { return *device_; }
    const std::shared_ptr<gpu::CommandQueue>& queue() const { return queue_; }

    std::shared_ptr<gpu::Library> loadLibrary(const std::filesystem::path& bundlePath, std::string* failure) const;
    // Opaque output, or source-alpha "over" blending as the logo pipeline
    // has it; from the opened library unless another is given.
    std::shared_ptr<gpu::RenderPipelineState> newPipeline(const std::string& vertexName,
                                                          const std::string& fragmentName, bool blending,
                                                          std::string* failure,
                                                          const std::shared_ptr<gpu::Library>& library = nullptr) const;
    std::shared_ptr<gpu::SamplerState> newSampler(gpu::SamplerMinMagFilter filter) const;
    // A Shared render target that shaders can sample and the CPU can read.
    std::shared_ptr<gpu::Texture> newTarget(std::uint64_t width, std::uint64_t height) const;

    // False when the command buffer gives no encoder.
    bool encodePass(gpu::CommandBuffer& commandBuffer, const std::shared_ptr<gpu::Texture>& target,
                    const Pass& pass) const;
    // Encodes the passes into one command buffer, commits it and waits;
    // false when a pass cannot be encoded or the GPU reports an error.
    bool drawPasses(const std::shared_ptr<gpu::Texture>& target, std::span<const Pass> passes) const;
    // The target after the passes; empty when drawing them failed.
    Pixels render(const std::shared_ptr<gpu::Texture>& target, std::span<const Pass> passes) const;

protected:
    std::shared_ptr<gpu::Device> device_;
    std::shared_ptr<gpu::CommandQueue> queue_;
    std::shared_ptr<gpu::Library> library_;
};

// The colour of a flat pass as fragment bytes.
std::vector<float> colorBytes(float red, float green, float blue, float alpha);

// A block of 32-bit fields as a pass's vertex or fragment bytes.
template <typename Block>
std::vector<float> blockBytes(const Block& block) {
    static_assert(std::is_trivially_copyable_v<Block> && sizeof(Block) % sizeof(float) == 0);
    std::vector<float> floats(sizeof(Block) / sizeof(float));
    std::memcpy(floats.data(), &block, sizeof(Block));
    return floats;
}
