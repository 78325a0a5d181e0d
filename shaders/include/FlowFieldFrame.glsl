// The flow field as one frame sets it up: a handful of travelling waves in
// two layers that turn against each other, hashed from the seed and moved
// on by the clock. The fragment stage sums them (FlowField.glsl).

#include "FlowSettings.glsl"
#include "FlowWaves.glsl"

// Evenly spread by the golden angle, so no two waves run parallel.
const vec2 kWaveDirections[kWaveCount] = vec2[](
    vec2(1.0, 0.0), vec2(-0.7374, 0.6755), vec2(0.0875, -0.9962), vec2(0.6084, 0.7937));
// Spatial frequencies in cycles per picture height at complexity 1.
const float kWaveFrequencies[kWaveCount] = float[](0.81, 1.07, 1.32, 1.69);
// Cycles per period at speed 1 (about 35 to 80 seconds a cycle); the seed
// adds up to 63 more, so no two renderers move in step.
const float kWaveRates[kWaveCount] = float[](205.0, 290.0, 370.0, 460.0);
// Whole turns of the two counter-rotating layers per period.
const float kTurnsPerPeriod = 7.0;

// Odd multipliers that give each wave its own bits of the seed's hash.
const uint kWaveSalts[kWaveCount] = uint[](0x9E3779B1u, 0x85EBCA77u, 0xC2B2AE3Du, 0x27D4EB2Fu);

struct Wave {
    vec2 direction;   // scaled by the spatial frequency
    float phase;      // in turns
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
    result.phase = cyclePhase(waveCycles(rate, settings.speed), settings.ticks, hash);
    return result;
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
// Turning the position against a layer is turning the layer's directions
// with it, which is done here once rather than at every pixel.
vec2 layerDirection(vec2 direction, int index, mat2 turn) {
    return (index % 2 == 0) ? turn * direction : direction * turn;
}

// The frame's waves, one to a component, and the second one read with x
// and y swapped (turns per x, per y, phase).
struct FieldFrame {
    vec4 turnsPerX;
    vec4 turnsPerY;
    vec4 phases;
    vec3 crossWave;
};

FieldFrame fieldFrame(FlowSettings settings) {
    mat2 turn = layerTurn(settings);
    FieldFrame frame;
    for (int i = 0; i < kWaveCount; ++i) {
        Wave w = makeWave(i, settings);
        vec2 direction = layerDirection(w.direction, i, turn);
        frame.turnsPerX[i] = direction.x;
        frame.turnsPerY[i] = direction.y;
        frame.phases[i] = w.phase;
    }
    Wave second = makeWave(1, settings);
    frame.crossWave = vec3(layerDirection(second.direction.yx, 1, turn), second.phase);
    return frame;
}
