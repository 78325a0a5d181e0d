#version 450
// Six vertices (x, y, u, v) handed over as vertex bytes.
layout(push_constant) uniform Vertices {
    vec4 vertices[6];
} quad;

layout(location = 0) out vec2 uv;

void main() {
    const vec4 vertex = quad.vertices[gl_VertexIndex];
    uv = vertex.zw;
    gl_Position = vec4(vertex.xy, 0.0, 1.0);
}
