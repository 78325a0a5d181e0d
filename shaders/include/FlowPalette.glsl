// The look of the field: a softly lit relief on the dark background, light
// contour lines between its terraces, and faint filaments that drift across
// them and merge with them.

const vec3 kBackground = vec3(15.0, 18.0, 22.0) / 255.0;
const vec3 kDeepGreen = vec3(62.0, 107.0, 82.0) / 255.0;
const vec3 kLightGreen = vec3(0.61, 0.76, 0.67);

// Every fourth contour is drawn stronger.
const float kMajorEvery = 4.0;
// Where the relief's light comes from: upper left, as y grows downwards on
// the target.
const vec3 kLight = normalize(vec3(-0.45, -0.55, 0.70));

// The part of a pixel that a line of the given width covers, both in
// pixels: box filtering keeps the mean right at any resolution. The
// distance is never negative, so the overlap of the line's box with the
// pixel's is one clamp.
float lineCoverage(float distancePixels, float widthPixels) {
    return clamp(0.5 + 0.5 * widthPixels - distancePixels, 0.0, min(widthPixels, 1.0));
}

// Distance in pixels from the nearest whole level, given how much the level
// changes from one pixel to the next along x and y.
float distanceToContour(float level, vec2 levelPerPixel) {
    return abs(fract(level + 0.5) - 0.5) / max(length(levelPerPixel), 1.0e-6);
}

vec2 pixelGradient(float value) {
    return vec2(dFdx(value), dFdy(value));
}

// The light on the relief the field's slope tilts: the surface normal
// (-tilt, 1), normalised, against the light.
float reliefLight(vec2 tilt) {
    return max(kLight.z - dot(tilt, kLight.xy), 0.0) * inversesqrt(1.0 + dot(tilt, tilt));
}

// The picture as shares of the two greens over the background. Mixing
// towards the light green takes from every share and gives to its own;
// kept as shares, the three channels are mixed once, at the end.
struct Shares {
    float deep;
    float light;
};

Shares towardsLightGreen(Shares shares, float amount) {
    return Shares(shares.deep * (1.0 - amount), mix(shares.light, 1.0, amount));
}

vec3 shadeFlowField(FlowField field, vec2 position, FlowLook look) {
    float intensity = look.intensity;
    float height = 0.5 + 0.5 * field.value;
    // Relief: the field's slope per picture height tilts the surface.
    vec2 slope = pixelGradient(field.value);
    float light = reliefLight(slope * look.reliefSlope);

    float level = field.value * look.bands;
    float terrace = smoothstep(0.0, 1.0, fract(level));
    float depth = clamp(intensity * height * height * (0.8 + 0.2 * terrace) * (0.35 + 0.65 * light), 0.0, 1.0);
    // The lit crests catch a little of the light green.
    Shares shares = towardsLightGreen(Shares(depth, 0.0), 0.22 * depth * depth * light);

    float contour = lineCoverage(distanceToContour(level, slope * look.bands), look.contourWidth);
    float major = (mod(floor(level + 0.5), kMajorEvery) == 0.0) ? 1.0 : 0.4;
    shares = towardsLightGreen(shares, contour * major * (0.25 + 0.4 * intensity) * (0.4 + 0.6 * height));

    // Filaments follow the field bent by the warp, so they run across the
    // contours, along them, and into them.
    float strand = (field.value + 0.35 * field.warp.x) * look.bands * 0.5;
    float filament = lineCoverage(distanceToContour(strand, pixelGradient(strand)), look.filamentWidth);
    float glow = 0.15 * filament * intensity * height;

    // A soft fall-off to the edges keeps the corners calm.
    float keep = 1.0 - 0.45 * smoothstep(0.1, 1.1, dot(position, position));
    return kBackground + keep * (shares.deep * (kDeepGreen - kBackground) + shares.light * (kLightGreen - kBackground) +
                                 glow * kLightGreen);
}
