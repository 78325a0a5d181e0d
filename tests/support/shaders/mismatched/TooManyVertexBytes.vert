#version 450
// Seven vertices, where the vertex stage has room for six.
layout(push_constant) uniform Vertices { vec4 vertices[7]; } quad;

void main() { gl_Position = quad.vertices[gl_VertexIndex]; }
