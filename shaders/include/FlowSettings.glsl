// The pattern's inputs: the uniform block, read defensively, once per frame
// in the vertex stage, which gets the block as its vertex bytes.
//
// The renderer hands the block over as stored, unclamped, so anything may
// arrive: NaN, infinities, huge values. Every value is made finite and
// bounded here, before it can reach a rate or a loop.

#include "FlowHash.glsl"
#include "FlowTime.glsl"

layout(push_constant) uniform FlowUniforms {
    float width;
    float height;
    float time;
    float speed;
    float intensity;
    float complexity;
    float seed;
    float reserved;
} flow;

struct FlowSettings {
    float aspect;      // width over height of the target
    float heightPixels;
    uint ticks;        // time within the period
    float speed;
    float intensity;
    float complexity;
    uint seed;         // hashed
};

// Tested on the bits: a compiler may assume comparisons never see a NaN.
bool isFiniteValue(float value) {
    return (floatBitsToUint(value) & 0x7F800000u) != 0x7F800000u;
}

float finiteClamped(float value, float low, float high, float fallback) {
    return isFiniteValue(value) ? clamp(value, low, high) : fallback;
}

FlowSettings readFlowSettings() {
    FlowSettings settings;
    float width = finiteClamped(flow.width, 1.0, 65536.0, 1.0);
    settings.heightPixels = finiteClamped(flow.height, 1.0, 65536.0, 1.0);
    settings.aspect = clamp(width / settings.heightPixels, 1.0 / 16.0, 16.0);
    settings.ticks = timeTicks(finiteClamped(flow.time, 0.0, 1.0e9, 0.0));
    settings.speed = finiteClamped(flow.speed, 0.0, 4.0, 1.0);
    settings.intensity = finiteClamped(flow.intensity, 0.0, 2.0, 1.0);
    settings.complexity = finiteClamped(flow.complexity, 0.25, 3.0, 1.0);
    settings.seed = hashUint(floatBitsToUint(flow.seed));
    return settings;
}
