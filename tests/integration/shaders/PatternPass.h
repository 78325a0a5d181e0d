#pragma once

// The pattern program's pass as the renderer encodes it, for the program's
// tests and its benchmark.

#include "renderer/BackgroundClearColor.h"
#include "shaders/KORLANFlowShaderTypes.h"
#include "tests/support/GpuHarness.h"

#include <cstdint>
#include <memory>
#include <utility>

// The block as the renderer fills it, for a target of this size.
inline KORLANFlowUniforms makeUniforms(std::uint32_t width, std::uint32_t height, float time, float seed,
                                       float speed = 0.8f, float intensity = 0.88f, float complexity = 1.0f) {
    return {float(width), float(height), time, speed, intensity, complexity, seed, 0.0f};
}

// The pattern pipeline drawing the block over the scene's background.
inline Pass patternPass(std::shared_ptr<gpu::RenderPipelineState> pipeline, const KORLANFlowUniforms& uniforms) {
    return {.pipeline = std::move(pipeline),
            .clearColor = kBackgroundClearColor,
            .vertexBytes = blockBytes(uniforms),
            .fragmentBytes = blockBytes(uniforms)};
}
