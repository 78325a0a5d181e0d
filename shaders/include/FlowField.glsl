// The flow field at one pixel: the frame's waves (FlowFieldFrame.glsl)
// summed over coordinates that the first two of them warp. Analytic and
// loop-free, so a CPU device can afford it at 60 Hz.

#include "FlowWaves.glsl"

// How far the first two waves move the position the waves are summed at.
const float kWarpStrength = 0.16;

const vec4 kWaveAmplitudes = vec4(1.0, 0.8, 0.62, 0.48);
// The amplitudes over their sum: the field's value without a division at
// every pixel.
const vec4 kWaveShares = kWaveAmplitudes / dot(kWaveAmplitudes, vec4(1.0));

struct FlowField {
    float value;    // in about [-1, 1]
    vec2 warp;      // the displacement the first two waves gave
};

vec4 waves(vec4 turns) {
    return vec4(wave(turns.x), wave(turns.y), wave(turns.z), wave(turns.w));
}

// Position: centred, in units of the picture's height. The first wave and
// the second read with x and y swapped warp the position the waves are
// summed at.
FlowField evaluateFlowField(vec2 position, vec4 turnsPerX, vec4 turnsPerY, vec4 phases, vec3 crossWave) {
    FlowField field;
    float first = dot(vec2(turnsPerX.x, turnsPerY.x), position) + phases.x;
    float cross = dot(crossWave.xy, position) + crossWave.z;
    field.warp = kWaveAmplitudes.xy * vec2(wave(first), wave(cross));
    vec2 warped = position + kWarpStrength * field.warp;
    field.value = dot(kWaveShares, waves(turnsPerX * warped.x + turnsPerY * warped.y + phases));
    return field;
}
