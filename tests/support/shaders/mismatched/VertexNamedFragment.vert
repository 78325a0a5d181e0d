#version 450
// A vertex program under a fragment program's name.
void main() { gl_Position = vec4(0.0); }
