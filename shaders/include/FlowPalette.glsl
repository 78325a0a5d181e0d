// The look of the field: a softly lit relief on the dark background, light
// contour lines between its terraces, and faint filaments that drift across
// them and merge with them.

const vec3 kBackground = vec3(15.0, 18.0, 22.0) / 255.0;
const vec3 kDeepGreen = vec3(62.0, 107.0, 82.0) / 255.0;
const vec3 kLightGreen = vec3(0.61, 0.76, 0.67);

// Contour levels per unit of the field at complexity 1; every fourth is
// drawn stronger.
const float kBandsPerUnit = 5.0;
const float kMajorEvery = 4.0;
// Widths in units of the picture's height, so a reduced target draws the
// same picture with fewer pixels.
const float kContourWidth = 0.0016;
const float kFilamentWidth = 0.0024;
// How steep the relief looks, and where its light comes from (upper left;
// y grows downwards on the target).
const float kReliefDepth = 0.55;
const vec3 kLightDirection = vec3(-0.45, -0.55, 0.70);

// The part of a pixel that a line of the given width covers, both in
// pixels: box filtering keeps the mean right at any resolution.
float lineCoverage(float distancePixels, float widthPixels) {
    float halfWidth = 0.5 * widthPixels;
    float overlap = min(distancePixels + halfWidth, 0.5) - max(distancePixels - halfWidth, -0.5);
    return clamp(overlap, 0.0, 1.0);
}

// Distance in pixels from the nearest whole level, given how much the level
// changes from one pixel to the next.
float distanceToContour(float level, float levelPerPixel) {
    return abs(fract(level + 0.5) - 0.5) / max(levelPerPixel, 1.0e-6);
}

float pixelSlope(float value) {
    return length(vec2(dFdx(value), dFdy(value)));
}

vec3 shadeFlowField(FlowField field, vec2 position, FlowSettings settings) {
    float intensity = settings.intensity;
    float height = 0.5 + 0.5 * field.value;

    // Relief: the field's slope per picture height tilts the surface.
    vec2 slope = vec2(dFdx(field.value), dFdy(field.value)) * settings.heightPixels;
    vec3 normal = normalize(vec3(-slope * (kReliefDepth * intensity), 1.0));
    float light = max(dot(normal, normalize(kLightDirection)), 0.0);

    float bands = kBandsPerUnit * settings.complexity;
    float level = field.value * bands;
    float terrace = smoothstep(0.0, 1.0, fract(level));
    float depth = clamp(intensity * height * height * (0.8 + 0.2 * terrace) * (0.35 + 0.65 * light), 0.0, 1.0);
    vec3 colour = mix(kBackground, kDeepGreen, depth);
    // The lit crests catch a little of the light green.
    colour = mix(colour, kLightGreen, 0.22 * depth * depth * light);

    float levelPerPixel = bands * length(slope) / settings.heightPixels;
    float contour = lineCoverage(distanceToContour(level, levelPerPixel), kContourWidth * settings.heightPixels);
    float major = (mod(floor(level + 0.5), kMajorEvery) == 0.0) ? 1.0 : 0.4;
    colour = mix(colour, kLightGreen, contour * major * (0.25 + 0.4 * intensity) * (0.4 + 0.6 * height));

    // Filaments follow the field bent by the warp, so they run across the
    // contours, along them, and into them.
    float strand = (field.value + 0.35 * field.warp.x) * bands * 0.5;
    float strandDistance = distanceToContour(strand, pixelSlope(strand));
    float filament = lineCoverage(strandDistance, kFilamentWidth * settings.heightPixels);
    colour += kLightGreen * (0.15 * filament) * intensity * height;

    // A soft fall-off to the edges keeps the corners calm.
    float edge = dot(position, position);
    return mix(kBackground, colour, 1.0 - 0.45 * smoothstep(0.1, 1.1, edge));
}
