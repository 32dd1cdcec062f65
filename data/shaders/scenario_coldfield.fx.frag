#version 330 core
// A scenario's look: cold, thin light; colours drained towards steel blue
// and a faint line pattern like an old sensor screen.
in vec4 vColour;
in vec2 vUV0;
uniform sampler2D uTex0;
out vec4 fragColour;
void main()
{
    vec3 c = texture(uTex0, vUV0).rgb;
    float grey = dot(c, vec3(0.299, 0.587, 0.114));
    c = mix(c, vec3(grey) * vec3(0.8, 0.95, 1.2), 0.4);
    c *= 0.94 + 0.06 * step(0.5, fract(gl_FragCoord.y * 0.5));
    fragColour = vec4(c, 1.0);
}
