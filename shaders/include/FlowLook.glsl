// How the settings and the target's size scale the look, once per frame.
// The look itself is in FlowPalette.glsl.

#include "FlowLight.glsl"

// Contour levels per unit of the field at complexity 1.
const float kBandsPerUnit = 5.0;
// Filaments come at half the contours' spacing.
const float kStrandsPerBand = 0.5;
// Widths in units of the picture's height, so a reduced target draws the
// same picture with fewer pixels.
const float kContourWidth = 0.0016;
const float kFilamentWidth = 0.0024;
// How steep the relief looks.
const float kReliefDepth = 0.55;

// Box filtering keeps a line's mean right at any resolution: a pixel whose
// centre lies d pixels from the line's middle is covered by
// clamp(reach - d, 0, cover).
FlowLine flowLine(float widthPixels) {
    return FlowLine(0.5 + 0.5 * widthPixels, min(widthPixels, 1.0));
}

FlowLook flowLookFor(FlowSettings settings) {
    FlowLook look;
    float reliefSlope = settings.heightPixels * (kReliefDepth * settings.intensity);
    look.intensity = settings.intensity;
    look.bands = kBandsPerUnit * settings.complexity;
    look.bandsSquared = look.bands * look.bands;
    look.strandBands = look.bands * kStrandsPerBand;
    look.lightPerSlope = reliefSlope * kLight.xy;
    look.reliefSlopeSquared = reliefSlope * reliefSlope;
    look.contourStrength = 0.25 + 0.4 * settings.intensity;
    look.glowStrength = 0.15 * settings.intensity;
    look.contour = flowLine(kContourWidth * settings.heightPixels);
    look.filament = flowLine(kFilamentWidth * settings.heightPixels);
    return look;
}
