#version 450
// The sampler and the image in each other's places.
layout(set = 0, binding = 1) uniform texture2D image;
layout(set = 0, binding = 0) uniform sampler imageSampler;
layout(location = 0) out vec4 outColor;

void main() { outColor = texture(sampler2D(image, imageSampler), vec2(0.5)); }
