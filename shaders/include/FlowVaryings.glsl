// What the vertex stage hands the pattern's fragment stage. The full-screen
// triangle has three corners, so the vertex stage works out once per frame
// what is the same for every pixel: the settings, the waves' hashes and
// phases, the layers' turn. It arrives flat; only the position is
// interpolated, so that each pixel works its phases out from it with the
// same arithmetic as a shader that did everything per pixel. A stage sets
// FLOW_VARYING to out or in before including it.

// The field's waves, one to a component of the vec4s below.
const int kWaveCount = 4;

// A line of the look, in pixels, as its coverage needs it: how far from its
// middle a pixel's centre may lie and still be touched, and the most of a
// pixel it can cover.
struct FlowLine {
    float reach;
    float cover;
};

// The frame's look, worked out once: every factor a pixel would otherwise
// derive from the settings again.
struct FlowLook {
    float intensity;
    float bands;             // contour levels per unit of the field
    float bandsSquared;
    float strandBands;       // filament levels per unit of the bent field
    vec2 lightPerSlope;      // the light's pull per unit the field changes from one pixel to the next
    float reliefSlopeSquared;
    float contourStrength;   // how much a major contour takes towards the light green
    float glowStrength;
    FlowLine contour;
    FlowLine filament;
};

// The only one the composite pass reads.
layout(location = 0) FLOW_VARYING vec2 targetCoordinate;

// Centred and measured in picture heights.
layout(location = 1) noperspective FLOW_VARYING vec2 position;
// The waves, one to a component: turns per unit of position along x and
// along y (the frequency and the layer's turn applied), and the phase.
layout(location = 2) flat FLOW_VARYING vec4 waveTurnsPerX;
layout(location = 3) flat FLOW_VARYING vec4 waveTurnsPerY;
layout(location = 4) flat FLOW_VARYING vec4 wavePhases;
// The second wave read with x and y swapped, the warp's second component:
// turns per x, per y, and its phase.
layout(location = 5) flat FLOW_VARYING vec3 crossWave;
layout(location = 6) flat FLOW_VARYING FlowLook look;
