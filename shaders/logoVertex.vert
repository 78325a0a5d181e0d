#version 460

// Six corners of the logo quad, each (x, y, u, v), as inline vertex bytes.
layout(push_constant) uniform LogoQuad {
    vec4 corners[6];
} quad;

layout(location = 0) out vec2 logoCoordinate;

void main() {
    vec4 corner = quad.corners[gl_VertexIndex];
    logoCoordinate = corner.zw;
    gl_Position = vec4(corner.xy, 0.0, 1.0);
}
