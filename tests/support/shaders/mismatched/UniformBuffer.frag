#version 450
// A uniform buffer where the layout holds a sampled image.
layout(set = 0, binding = 0) uniform Colour { vec4 value; } colour;
layout(location = 0) out vec4 outColor;

void main() { outColor = colour.value; }
