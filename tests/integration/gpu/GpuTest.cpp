#include "tests/integration/gpu/GpuTest.h"

#include <cmath>

std::filesystem::path GpuTest::testBundlePath() { return KORLAN_FLOW_GPU_TEST_BUNDLE; }

void GpuTest::SetUp() {
    takeValidationMessages();
    std::string failure;
    ASSERT_TRUE(open(programBundle_, true, &failure)) << failure;
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
    std::string failure;
    auto pipeline = GpuHarness::newPipeline(vertexName, fragmentName, blending, &failure);
    EXPECT_NE(pipeline, nullptr) << failure;
    return pipeline;
}

void GpuTest::encodePass(gpu::CommandBuffer& commandBuffer, const std::shared_ptr<gpu::Texture>& target,
                         const Pass& pass) {
    ASSERT_TRUE(GpuHarness::encodePass(commandBuffer, target, pass)) << "no render encoder";
}

void GpuTest::draw(const std::shared_ptr<gpu::Texture>& target, const Pass& pass) {
    ASSERT_TRUE(drawPasses(target, std::span(&pass, 1))) << "the pass failed on the GPU";
}

std::uint8_t unorm8(double value) { return static_cast<std::uint8_t>(std::lround(value * 255.0)); }
