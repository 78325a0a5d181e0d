// The flow field at one pixel: the frame's waves (FlowFieldFrame.glsl)
// summed over coordinates that the first two of them warp. Analytic and
// loop-free, so a CPU device can afford it at 60 Hz.

#include "FlowWaves.glsl"

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

// The waves run straight, so moving the position by the warp moves each
// wave's phase by the warp's share along the wave's direction.
FlowField evaluateFlowField(vec4 waveTurns, float crossWaveTurns, vec4 warpTurnsX, vec4 warpTurnsY) {
    FlowField field;
    field.warp = kWaveAmplitudes.xy * vec2(wave(waveTurns.x), wave(crossWaveTurns));
    vec4 warpedTurns = waveTurns + field.warp.x * warpTurnsX + field.warp.y * warpTurnsY;
    field.value = dot(kWaveShares, waves(warpedTurns));
    return field;
}
