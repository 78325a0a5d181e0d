// How the settings and the target's size scale the look, once per frame.
// The look itself is in FlowPalette.glsl.

// Contour levels per unit of the field at complexity 1.
const float kBandsPerUnit = 5.0;
// Widths in units of the picture's height, so a reduced target draws the
// same picture with fewer pixels.
const float kContourWidth = 0.0016;
const float kFilamentWidth = 0.0024;
// How steep the relief looks.
const float kReliefDepth = 0.55;

FlowLook flowLookFor(FlowSettings settings) {
    FlowLook look;
    look.intensity = settings.intensity;
    look.bands = kBandsPerUnit * settings.complexity;
    look.reliefSlope = settings.heightPixels * (kReliefDepth * settings.intensity);
    look.contourWidth = kContourWidth * settings.heightPixels;
    look.filamentWidth = kFilamentWidth * settings.heightPixels;
    return look;
}
