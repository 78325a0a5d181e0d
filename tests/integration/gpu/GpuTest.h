#pragma once

// A fixture for the Vulkan backend: the default device with software
// rendering allowed and the validation layer on, a scratch pipeline-cache
// directory, and the test program library. Any validation message fails
// the test.

#include "tests/support/GpuTestSupport.h"
#include "tests/support/ScratchDirectoryVariable.h"

#include "platform/gpu/Device.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
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

class GpuTest : public ::testing::Test {
protected:
    static constexpr auto kTargetFormat = gpu::PixelFormat::BGRA8Unorm;

    static std::filesystem::path testBundlePath();

    void SetUp() override;
    void TearDown() override;

    std::shared_ptr<gpu::RenderPipelineState> newPipeline(const std::string& vertexName,
                                                          const std::string& fragmentName, bool blending = false);
    std::shared_ptr<gpu::SamplerState> newSampler(gpu::SamplerMinMagFilter filter);
    // A Shared render target that can also be sampled.
    std::shared_ptr<gpu::Texture> newTarget(std::uint64_t width, std::uint64_t height);
    void encodePass(gpu::CommandBuffer& commandBuffer, const std::shared_ptr<gpu::Texture>& target, const Pass& pass);
    // Encodes, commits and waits.
    void draw(const std::shared_ptr<gpu::Texture>& target, const Pass& pass);

    ScratchDirectoryVariable cacheHome_{"XDG_CACHE_HOME"};
    std::shared_ptr<gpu::Device> device_;
    std::shared_ptr<gpu::CommandQueue> queue_;
    std::shared_ptr<gpu::Library> library_;
};

// The colour of a flat pass as fragment bytes.
std::vector<float> colorBytes(float red, float green, float blue, float alpha);
// A byte of a colour channel as an 8-bit UNORM target stores it.
std::uint8_t unorm8(double value);
