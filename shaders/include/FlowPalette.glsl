// The look of the field: a softly lit relief on the dark background, light
// contour lines between its terraces, and faint filaments that drift across
// them and merge with them. What depends only on the settings comes worked
// out in the frame's look (FlowLook.glsl).

#include "FlowLight.glsl"

const vec3 kBackground = vec3(15.0, 18.0, 22.0) / 255.0;
const vec3 kDeepGreen = vec3(62.0, 107.0, 82.0) / 255.0;
const vec3 kLightGreen = vec3(0.61, 0.76, 0.67);

// The part of a pixel a line along the whole levels covers. `fraction` is
// fract() of the level at the pixel and `levelStepSquared` the square of how
// much the level changes from one pixel to the next: the nearer whole level
// lies the nearer fraction over that step away, in pixels.
float lineCoverage(float fraction, float levelStepSquared, FlowLine line) {
    float distancePixels = min(fraction, 1.0 - fraction) * inversesqrt(max(levelStepSquared, 1.0e-12));
    return clamp(line.reach - distancePixels, 0.0, line.cover);
}

vec2 pixelGradient(float value) {
    return vec2(dFdx(value), dFdy(value));
}

// Every fourth contour is drawn stronger.
float contourWeight(float level) {
    return (int(round(level)) & 3) == 0 ? 1.0 : 0.4;
}

// The picture as shares of the two greens over the background. Mixing
// towards the light green takes from every share and gives to its own;
// kept as shares, the three channels are mixed once, at the end.
struct Shares {
    float deep;
    float light;
};

Shares towardsLightGreen(Shares shares, float amount) {
    return Shares(shares.deep - shares.deep * amount, shares.light + (1.0 - shares.light) * amount);
}

vec3 shadeFlowField(FlowField field, vec2 position, FlowLook look, float dither) {
    float intensity = look.intensity;
    float height = 0.5 + 0.5 * field.value;
    vec2 slope = pixelGradient(field.value);
    float slopeSquared = dot(slope, slope);
    // Relief: the field's slope, scaled by the relief's, tilts the surface;
    // its normal (-tilt, 1), normalised, against the light.
    float light = max(kLight.z - dot(slope, look.lightPerSlope), 0.0) *
                  inversesqrt(1.0 + look.reliefSlopeSquared * slopeSquared);

    float level = field.value * look.bands;
    float fraction = fract(level);
    float terrace = fraction * fraction * (3.0 - 2.0 * fraction);
    float depth = clamp(intensity * height * height * (0.8 + 0.2 * terrace) * (0.35 + 0.65 * light), 0.0, 1.0);
    // The lit crests catch a little of the light green.
    float crest = 0.22 * depth * depth * light;
    Shares shares = Shares(depth - depth * crest, crest);

    float contour = lineCoverage(fraction, look.bandsSquared * slopeSquared, look.contour);
    shares = towardsLightGreen(shares, contour * contourWeight(level) * look.contourStrength * (0.4 + 0.6 * height));

    // Filaments follow the field bent by the warp, so they run across the
    // contours, along them, and into them.
    float strand = (field.value + 0.35 * field.warp.x) * look.strandBands;
    vec2 strandStep = pixelGradient(strand);
    float filament = lineCoverage(fract(strand), dot(strandStep, strandStep), look.filament);
    float glow = look.glowStrength * filament * height;

    // A soft fall-off to the edges keeps the corners calm.
    float edge = clamp(dot(position, position) - 0.1, 0.0, 1.0);
    float keep = 1.0 - 0.45 * edge * edge * (3.0 - 2.0 * edge);
    float deep = keep * shares.deep;
    float lightGreen = keep * shares.light;
    float glowing = keep * glow;
    return kBackground + dither + deep * (kDeepGreen - kBackground) + lightGreen * (kLightGreen - kBackground) +
           glowing * kLightGreen;
}
