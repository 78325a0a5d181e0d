#pragma once

// A fixture for the Vulkan backend: the default device with software
// rendering allowed and the validation layer on, a scratch pipeline-cache
// directory, and a program library: the test programs unless a fixture
// names another bundle. Any validation message fails the test.

#include "tests/support/GpuHarness.h"
#include "tests/support/ScratchDirectoryVariable.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class GpuTest : public ::testing::Test, protected GpuHarness {
protected:
    static std::filesystem::path testBundlePath();

    GpuTest() : GpuTest(testBundlePath()) {}
    explicit GpuTest(std::filesystem::path programBundle) : programBundle_(std::move(programBundle)) {}

    void SetUp() override;
    void TearDown() override;

    // As the harness's, failing the test where the harness gives nothing.
    std::shared_ptr<gpu::RenderPipelineState> newPipeline(const std::string& vertexName,
                                                          const std::string& fragmentName, bool blending = false);
    void encodePass(gpu::CommandBuffer& commandBuffer, const std::shared_ptr<gpu::Texture>& target, const Pass& pass);
    // Encodes, commits and waits.
    void draw(const std::shared_ptr<gpu::Texture>& target, const Pass& pass);

    ScratchDirectoryVariable cacheHome_{"XDG_CACHE_HOME"};

private:
    std::filesystem::path programBundle_;
};

// A byte of a colour channel as an 8-bit UNORM target stores it.
std::uint8_t unorm8(double value);
