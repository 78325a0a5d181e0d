// Integer hashing of the seed. A float sine hash falls apart between
// drivers and for large inputs; this one is exact everywhere.

// PCG-style permutation of 32 bits.
uint hashUint(uint value) {
    uint state = value * 747796405u + 2891336453u;
    uint word = ((state >> ((state >> 28u) + 4u)) ^ state) * 277803737u;
    return (word >> 22u) ^ word;
}
