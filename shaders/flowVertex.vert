#version 460
#extension GL_GOOGLE_include_directive : require

#define FLOW_VARYING out
#include "FlowVaryings.glsl"
#include "FlowFieldFrame.glsl"
#include "FlowLook.glsl"

// One triangle, twice the target's size, whose middle part covers it. The
// backend flips the viewport, so y = +1 is the top edge here: no flip.
void main() {
    vec2 corner = vec2(float((gl_VertexIndex << 1) & 2), float(gl_VertexIndex & 2));
    targetCoordinate = corner;
    gl_Position = vec4(corner.x * 2.0 - 1.0, 1.0 - corner.y * 2.0, 0.0, 1.0);

    FlowSettings settings = readFlowSettings();
    // Centred and measured in picture heights: every target size and
    // aspect shows the same composition.
    position = (corner - 0.5) * vec2(settings.aspect, 1.0);
    FieldFrame frame = fieldFrame(settings);
    waveTurnsPerX = frame.turnsPerX;
    waveTurnsPerY = frame.turnsPerY;
    wavePhases = frame.phases;
    crossWave = frame.crossWave;
    look = flowLookFor(settings);
}
