// The animation clock, as the pattern sees it.
//
// The renderer keeps time in [0, kTimePeriod) and starts again at 0, so every
// motion completes a whole number of cycles per period and the wrap does not
// show. Phases are taken in fixed point: 2^12 ticks a second make one period
// 2^26 ticks, which divides 2^32, so "cycles x ticks" may overflow an
// unsigned int and still give the exact phase. Multiplying the float time by
// a rate instead would lose the phase to rounding within hours.

const float kTimePeriod = 16384.0;
const float kTicksPerSecond = 4096.0;
const uint kTicksPerPeriod = uint(kTimePeriod * kTicksPerSecond);

uint timeTicks(float seconds) {
    // Rounding may leave the remainder a hair outside the period; the clamp
    // keeps it convertible and the mask folds kTimePeriod onto 0.
    float wrapped = clamp(seconds - floor(seconds / kTimePeriod) * kTimePeriod, 0.0, kTimePeriod);
    return uint(wrapped * kTicksPerSecond) & (kTicksPerPeriod - 1u);
}

// The phase in [0, 1) of a motion that completes `cycles` cycles per period,
// shifted by `offset` ticks.
float cyclePhase(uint cycles, uint ticks, uint offset) {
    uint position = (cycles * ticks + offset) & (kTicksPerPeriod - 1u);
    return float(position) * (1.0 / float(kTicksPerPeriod));
}
