// Interleaved gradient noise in [-0.5, 0.5] of one 8-bit step: breaks up
// the bands that smooth dark gradients would show after quantisation.
float ditherNoise(vec2 pixel) {
    float noise = fract(52.9829189 * fract(dot(pixel, vec2(0.06711056, 0.00583715))));
    return (noise - 0.5) * (1.0 / 255.0);
}
