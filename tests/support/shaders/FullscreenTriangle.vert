#version 450
// One triangle over the whole target; uv (0, 0) at the top-left corner,
// where the backend puts NDC y = +1.
layout(location = 0) out vec2 uv;

void main() {
    const vec2 corner = vec2((gl_VertexIndex << 1) & 2, gl_VertexIndex & 2);
    uv = corner;
    gl_Position = vec4(corner.x * 2.0 - 1.0, 1.0 - corner.y * 2.0, 0.0, 1.0);
}
