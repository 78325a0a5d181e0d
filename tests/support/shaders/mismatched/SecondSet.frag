#version 450
// A descriptor set the layout does not have.
layout(set = 1, binding = 0) uniform texture2D image;
layout(set = 1, binding = 1) uniform sampler imageSampler;
layout(location = 0) out vec4 outColor;

void main() { outColor = texture(sampler2D(image, imageSampler), vec2(0.5)); }
