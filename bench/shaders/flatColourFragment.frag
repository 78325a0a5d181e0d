#version 460

// The cheapest full pass there is: the yardstick for the pattern's cost.
layout(push_constant) uniform FlatColour {
    layout(offset = 96) vec4 colour;
} yardstick;

layout(location = 0) out vec4 colour;

void main() {
    colour = yardstick.colour;
}
