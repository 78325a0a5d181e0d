#version 450
// Push constants in the vertex stage's bytes.
layout(push_constant) uniform Fragment { vec4 color; } fragment;
layout(location = 0) out vec4 outColor;

void main() { outColor = fragment.color; }
