#version 330 core
// Rocks behind the battle map: dimmed and tinted towards the deep blue of
// distance, so that the near field stands out.
in vec4 vColour;
in vec2 vUV0;
uniform sampler2D uTex0;
uniform int uUseTexture;
out vec4 fragColour;
void main()
{
    vec4 c = vColour;
    if (uUseTexture != 0)
        c *= texture(uTex0, vUV0);
    c.rgb = mix(c.rgb * 0.6, vec3(0.05, 0.07, 0.14), 0.25);
    if (c.a < 0.5 / 255.0)
        discard;
    fragColour = c;
}
