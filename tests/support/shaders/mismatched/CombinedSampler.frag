#version 450
// An image and its sampler in one descriptor, where the layout has two.
layout(set = 0, binding = 0) uniform sampler2D image;
layout(location = 0) out vec4 outColor;

void main() { outColor = texture(image, vec2(0.5)); }
