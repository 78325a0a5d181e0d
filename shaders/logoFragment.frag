#version 460

// The logo raster holds premultiplied colour, while its pipeline blends
// with source alpha: hand out straight colour so it is not multiplied twice.
layout(set = 0, binding = 0) uniform texture2D logo;
layout(set = 0, binding = 1) uniform sampler linearSampler;

layout(location = 0) in vec2 logoCoordinate;
layout(location = 0) out vec4 colour;

void main() {
    vec4 premultiplied = texture(sampler2D(logo, linearSampler), logoCoordinate);
    vec3 straight = premultiplied.a > 0.0 ? min(premultiplied.rgb / premultiplied.a, 1.0) : vec3(0.0);
    colour = vec4(straight, premultiplied.a);
}
