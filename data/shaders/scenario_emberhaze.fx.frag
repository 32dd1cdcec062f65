#version 330 core
// A scenario's look: the battle seen through warm dust, its edges sinking
// into an ember-red vignette.
in vec4 vColour;
in vec2 vUV0;
uniform sampler2D uTex0;
// The share of the target the frame covers (its texture coordinates' end).
uniform float uvscalex;
uniform float uvscaley;
out vec4 fragColour;
void main()
{
    vec3 c = texture(uTex0, vUV0).rgb;
    vec2 d = vUV0 / vec2(max(uvscalex, 0.01), max(uvscaley, 0.01)) - vec2(0.5);
    float edge = smoothstep(0.2, 0.75, length(d * vec2(1.0, 1.3)));
    c = mix(c, c * vec3(1.1, 0.75, 0.55) + vec3(0.06, 0.015, 0.0), 0.35);
    c *= 1.0 - 0.55 * edge;
    fragColour = vec4(c, 1.0);
}
