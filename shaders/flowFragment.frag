#version 460
#extension GL_GOOGLE_include_directive : require

#include "FlowField.glsl"
#include "FlowPalette.glsl"
#include "Dither.glsl"

layout(location = 0) in vec2 targetCoordinate;
layout(location = 0) out vec4 colour;

void main() {
    FlowSettings settings = readFlowSettings();
    // Centred and measured in picture heights: every target size and
    // aspect shows the same composition.
    vec2 position = (targetCoordinate - 0.5) * vec2(settings.aspect, 1.0);
    FlowField field = evaluateFlowField(position, settings);
    vec3 shaded = shadeFlowField(field, position, settings) + ditherNoise(gl_FragCoord.xy);
    colour = vec4(shaded, 1.0);
}
