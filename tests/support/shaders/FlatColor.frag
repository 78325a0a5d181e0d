#version 450
// The colour handed over as fragment bytes.
layout(push_constant) uniform Fragment {
    layout(offset = 96) vec4 color;
} fragment;

// The vertex programs hand every fragment program a texture coordinate.
// Taken here (it is never negative, so the factor is 1), it keeps the two
// stages' interfaces matched.
layout(location = 0) in vec2 uv;
layout(location = 0) out vec4 outColor;

void main() {
    outColor = fragment.color * step(0.0, uv.x);
}
