#pragma once

// A fixture for the Vulkan backend: the default device with software
// rendering allowed and the validation layer on, a scratch pipeline-cache
// directory, and the test program library. Any validation message fails
// the test.

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

// Sets an environment variable for the life of the object.
class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(std::string name, const std::string& value);
    ~ScopedEnvironmentVariable();
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
    std::string name_;
    std::optional<std::string> previous_;
};

// Messages of the validation layer, from whichever thread reports them.
class ValidationMessages {
public:
    void record(std::string_view message);
    std::vector<std::string> take();

private:
    std::mutex mutex_;
    std::vector<std::string> messages_;
};

using Pixel = std::array<std::uint8_t, 4>; // blue, green, red, alpha

// Pixels read back from a BGRA target, rows from the top, tight.
struct Pixels {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> bytes;

    Pixel at(std::uint32_t x, std::uint32_t y) const;
};

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

    static gpu::DeviceOptions testOptions(const std::shared_ptr<ValidationMessages>& messages);
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
    static Pixels readPixels(gpu::Texture& target);

    std::filesystem::path cacheHome_;
    std::unique_ptr<ScopedEnvironmentVariable> cacheHomeVariable_;
    std::shared_ptr<ValidationMessages> validationMessages_ = std::make_shared<ValidationMessages>();
    std::shared_ptr<gpu::Device> device_;
    std::shared_ptr<gpu::CommandQueue> queue_;
    std::shared_ptr<gpu::Library> library_;
};

// The colour of a flat pass as fragment bytes.
std::vector<float> colorBytes(float red, float green, float blue, float alpha);
// A byte of a colour channel as an 8-bit UNORM target stores it.
std::uint8_t unorm8(double value);
