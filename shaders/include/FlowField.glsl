// The flow field: a handful of travelling waves, rotated against each other
// and summed over coordinates that the first two of them warp. Analytic and
// loop-free beyond a fixed count, so a CPU device can afford it at 60 Hz.

#include "FlowSettings.glsl"
#include "FlowWaves.glsl"

const int kWaveCount = 4;

// Evenly spread by the golden angle, so no two waves run parallel.
const vec2 kWaveDirections[kWaveCount] = vec2[](
    vec2(1.0, 0.0), vec2(-0.7374, 0.6755), vec2(0.0875, -0.9962), vec2(0.6084, 0.7937));
// Spatial frequencies in cycles per picture height at complexity 1.
const float kWaveFrequencies[kWaveCount] = float[](0.81, 1.07, 1.32, 1.69);
const float kWaveAmplitudes[kWaveCount] = float[](1.0, 0.8, 0.62, 0.48);
// Cycles per period at speed 1 (about 35 to 80 seconds a cycle); the seed
// adds up to 63 more, so no two renderers move in step.
const float kWaveRates[kWaveCount] = float[](205.0, 290.0, 370.0, 460.0);
// Whole turns of the two counter-rotating layers per period.
const float kTurnsPerPeriod = 7.0;
const float kWarpStrength = 0.16;

// Odd multipliers that give each wave its own bits of the seed's hash.
const uint kWaveSalts[kWaveCount] = uint[](0x9E3779B1u, 0x85EBCA77u, 0xC2B2AE3Du, 0x27D4EB2Fu);

struct Wave {
    vec2 direction;   // scaled by the spatial frequency
    float amplitude;
    float phase;      // in turns
};

struct FlowField {
    float value;    // in about [-1, 1]
    vec2 warp;      // the displacement the first two waves gave
};

// Speed scales every rate; rounding to whole cycles per period keeps each
// motion periodic in the clock's period, in steps of half a percent or finer.
uint waveCycles(float rate, float speed) {
    return uint(round(rate * speed));
}

// The top bits of the wave's hash add to its rate, and all of them shift
// its phase.
Wave makeWave(int index, FlowSettings settings) {
    uint hash = settings.seed * kWaveSalts[index];
    float rate = kWaveRates[index] + float(hash >> 26u);

    Wave result;
    result.direction = kWaveDirections[index] * (kWaveFrequencies[index] * settings.complexity);
    result.amplitude = kWaveAmplitudes[index];
    result.phase = cyclePhase(waveCycles(rate, settings.speed), settings.ticks, hash);
    return result;
}

float waveValue(Wave w, vec2 position) {
    return w.amplitude * wave(dot(w.direction, position) + w.phase);
}

mat2 layerTurn(FlowSettings settings) {
    uint turns = waveCycles(kTurnsPerPeriod, settings.speed);
    float angle = cyclePhase(turns, settings.ticks, settings.seed);
    float c = wave(angle);
    float s = wave(angle + 0.25);
    return mat2(c, s, -s, c);
}

// Even and odd waves lie in two layers that turn in opposite senses, so
// crossings change their angles instead of the whole picture spinning.
// Turning the position against a layer turns that layer's waves.
struct LayerPositions {
    vec2 even;
    vec2 odd;
};

LayerPositions layerPositions(vec2 position, mat2 turn) {
    return LayerPositions(position * turn, turn * position);
}

vec2 layerPosition(LayerPositions positions, int index) {
    return (index % 2 == 0) ? positions.even : positions.odd;
}

// Position: centred, in units of the picture's height.
FlowField evaluateFlowField(vec2 position, FlowSettings settings) {
    mat2 turn = layerTurn(settings);
    Wave waves[kWaveCount];
    for (int i = 0; i < kWaveCount; ++i) waves[i] = makeWave(i, settings);

    LayerPositions unwarped = layerPositions(position, turn);
    FlowField field;
    field.warp = vec2(waveValue(waves[0], unwarped.even), waveValue(waves[1], unwarped.odd.yx));
    LayerPositions warped = layerPositions(position + kWarpStrength * field.warp, turn);

    float sum = 0.0;
    float amplitudes = 0.0;
    for (int i = 0; i < kWaveCount; ++i) {
        sum += waveValue(waves[i], layerPosition(warped, i));
        amplitudes += waves[i].amplitude;
    }
    field.value = sum / amplitudes;
    return field;
}
