#version 450
// A binding the layout does not have.
layout(set = 0, binding = 0) uniform texture2D image;
layout(set = 0, binding = 2) uniform sampler imageSampler;
layout(location = 0) out vec4 outColor;

void main() { outColor = texture(sampler2D(image, imageSampler), vec2(0.5)); }
