// Where the relief's light comes from: upper left, as y grows downwards on
// the target.
const vec3 kLight = normalize(vec3(-0.45, -0.55, 0.70));
