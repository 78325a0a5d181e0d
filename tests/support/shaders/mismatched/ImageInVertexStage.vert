#version 450
// The layout gives the vertex stage no descriptors.
layout(set = 0, binding = 0) uniform texture2D heights;
layout(set = 0, binding = 1) uniform sampler heightSampler;

void main() { gl_Position = textureLod(sampler2D(heights, heightSampler), vec2(0.0), 0.0); }
