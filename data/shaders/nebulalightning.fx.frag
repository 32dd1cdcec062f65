#version 330 core
// Lightning in the nebula: the backdrop flares towards a cold white by
// "intensity", most where the nebula is already bright.
in vec4 vColour;
in vec2 vUV0;
uniform sampler2D uTex0;
uniform int uUseTexture;
uniform float intensity;
out vec4 fragColour;
void main()
{
    vec4 c = vColour;
    if (uUseTexture != 0)
        c *= texture(uTex0, vUV0);
    float glow = dot(c.rgb, vec3(0.3, 0.5, 0.2));
    c.rgb += vec3(0.75, 0.85, 1.0) * glow * clamp(intensity, 0.0, 4.0);
    fragColour = c;
}
