// What the vertex stage hands the pattern's fragment stage. The full-screen
// triangle has three corners, so the vertex stage works out once per frame
// what is the same for every pixel: the settings, the waves' hashes and
// phases, the layers' turn. What follows from them arrives flat where it is
// the same for every pixel and interpolated where it is linear in the
// position. A stage sets FLOW_VARYING to out or in before including it.

// The field's waves, one to a component of the vec4s below.
const int kWaveCount = 4;

struct FlowLook {
    float intensity;
    float bands;           // contour levels per unit of the field
    float reliefSlope;     // the relief's tilt per unit the field changes from one pixel to the next
    float contourWidth;    // pixels
    float filamentWidth;   // pixels
};

// The only one the composite pass reads.
layout(location = 0) FLOW_VARYING vec2 targetCoordinate;

// Centred and measured in picture heights.
layout(location = 1) noperspective FLOW_VARYING vec2 position;
// Each wave's phase in turns at the unwarped position, with its layer's
// turn and its frequency already applied.
layout(location = 2) noperspective FLOW_VARYING vec4 waveTurns;
// The second wave at the position with x and y swapped: the warp's second
// component.
layout(location = 3) noperspective FLOW_VARYING float crossWaveTurns;
// How many turns each wave advances per unit of warp along x and along y.
layout(location = 4) flat FLOW_VARYING vec4 warpTurnsX;
layout(location = 5) flat FLOW_VARYING vec4 warpTurnsY;
layout(location = 6) flat FLOW_VARYING FlowLook look;
