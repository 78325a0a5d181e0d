#version 460
#extension GL_GOOGLE_include_directive : require

#define FLOW_VARYING in
#include "FlowVaryings.glsl"
#include "FlowField.glsl"
#include "FlowPalette.glsl"
#include "Dither.glsl"

layout(location = 0) out vec4 colour;

void main() {
    FlowField field = evaluateFlowField(position, waveTurnsPerX, waveTurnsPerY, wavePhases, crossWave);
    colour = vec4(shadeFlowField(field, position, look, ditherNoise(gl_FragCoord.xy)), 1.0);
}
