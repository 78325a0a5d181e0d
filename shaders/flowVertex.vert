#version 460

// One triangle, twice the target's size, whose middle part covers it. The
// backend flips the viewport, so y = +1 is the top edge here: no flip.
layout(location = 0) out vec2 targetCoordinate;

void main() {
    vec2 corner = vec2(float((gl_VertexIndex << 1) & 2), float(gl_VertexIndex & 2));
    targetCoordinate = corner;
    gl_Position = vec4(corner.x * 2.0 - 1.0, 1.0 - corner.y * 2.0, 0.0, 1.0);
}
