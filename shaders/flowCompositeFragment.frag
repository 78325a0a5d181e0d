#version 460

// Stretches the reduced pattern over the native target.
layout(set = 0, binding = 0) uniform texture2D reducedPattern;
layout(set = 0, binding = 1) uniform sampler linearSampler;

layout(location = 0) in vec2 targetCoordinate;
layout(location = 0) out vec4 colour;

void main() {
    colour = vec4(texture(sampler2D(reducedPattern, linearSampler), targetCoordinate).rgb, 1.0);
}
